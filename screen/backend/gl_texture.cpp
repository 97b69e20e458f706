#include "screen/backend/gl_texture.h"

#include <type_traits>

namespace zopp {

namespace {

// The screen's own 32-bit byte order (blue, green, red, alpha): core since OpenGL 1.2, and an extension
// every 1.1 library has, whose header may name it only so.
constexpr GLenum kTextureLayout = 0x80E1;

bool loadGlFunctions(GlFunctions& gl, const GlLookup& lookup) {
    const auto load = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(lookup(name));
        return function != nullptr;
    };
    return load(gl.genTextures, "glGenTextures") && load(gl.deleteTextures, "glDeleteTextures") &&
           load(gl.bindTexture, "glBindTexture") && load(gl.texParameteri, "glTexParameteri") &&
           load(gl.texImage2D, "glTexImage2D") && load(gl.texSubImage2D, "glTexSubImage2D") &&
           load(gl.getError, "glGetError") && load(gl.viewport, "glViewport") &&
           load(gl.matrixMode, "glMatrixMode") && load(gl.loadIdentity, "glLoadIdentity") &&
           load(gl.ortho, "glOrtho") && load(gl.enable, "glEnable") && load(gl.begin, "glBegin") &&
           load(gl.end, "glEnd") && load(gl.texCoord2f, "glTexCoord2f") && load(gl.vertex2f, "glVertex2f");
}

}  // namespace

bool GlTexture::create(const GlLookup& lookup, const ScreenState& screen) {
    if (!loadGlFunctions(gl_, lookup)) return false;
    width_ = screen.width;
    gl_.genTextures(1, &texture_);
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screen.width, screen.height, 0, kTextureLayout,
                   GL_UNSIGNED_BYTE, nullptr);
    return gl_.getError() == GL_NO_ERROR;
}

void GlTexture::destroy() {
    if (texture_ != 0) gl_.deleteTextures(1, &texture_);
    texture_ = 0;
}

void GlTexture::upload(const ConvertedLines& rows) {
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    gl_.texSubImage2D(GL_TEXTURE_2D, 0, 0, rows.first, width_, rows.count, kTextureLayout, GL_UNSIGNED_BYTE,
                      rows.pixels);
}

void GlTexture::draw(std::int32_t width, std::int32_t height) {
    gl_.viewport(0, 0, width, height);
    gl_.matrixMode(GL_PROJECTION);
    gl_.loadIdentity();
    gl_.ortho(0, 1, 1, 0, -1, 1);
    gl_.matrixMode(GL_MODELVIEW);
    gl_.loadIdentity();
    gl_.enable(GL_TEXTURE_2D);
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    gl_.begin(GL_QUADS);
    gl_.texCoord2f(0, 0);
    gl_.vertex2f(0, 0);
    gl_.texCoord2f(1, 0);
    gl_.vertex2f(1, 0);
    gl_.texCoord2f(1, 1);
    gl_.vertex2f(1, 1);
    gl_.texCoord2f(0, 1);
    gl_.vertex2f(0, 1);
    gl_.end();
}

bool GlPresenter::start(GlContext context, const ScreenState& screen) {
    context_ = std::move(context);
    return texture_.create(context_.lookup, screen);
}

// A swap leaves the back buffer undefined, so every frame draws the whole texture.
void GlPresenter::finish() {
    std::int32_t width = 0, height = 0;
    context_.drawableSize(width, height);
    texture_.draw(width, height);
    context_.swap();
}

}  // namespace zopp
