// placeholder: filled by its issue's work
