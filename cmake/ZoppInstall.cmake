# Installation is completed by the game: see game/CMakeLists.txt.
