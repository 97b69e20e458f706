// The OpenGL presenter both desktop back-ends share, over a recording stand-in for the GL library.
#include "screen/backend/gl_texture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zopp {
namespace {

struct Upload {
    GLint firstLine;
    GLsizei lines;
    std::uint32_t firstPixel;  // the first uploaded line's first pixel
};

// Enough of GL's fixed pipeline to tell what a frame shows: a quad counts only when it draws the bound
// texture (nearest filters, blue-green-red-alpha bytes) with each corner of the texture on the same
// corner of the drawable, through an orthographic projection and an untouched model view.
constexpr GLenum kBgra = 0x80E1;
struct GlRecord {
    std::vector<Upload> uploads;
    std::vector<std::pair<GLsizei, GLsizei>> viewports;
    int quads = 0, swaps = 0, deleted = 0;
    GLenum error = GL_NO_ERROR;
    GLuint bound = 0;
    bool textured = false, modelViewIdentity = false;
    std::map<GLenum, GLint> filters;
    GLenum layout = 0, matrix = 0;
    std::array<GLdouble, 4> projection{};  // left, right, bottom, top; all 0 for none that is known
    GLfloat s = 0, t = 0;
    std::vector<std::array<GLfloat, 4>> corners;  // s, t, x, y
} gl;

void APIENTRY genTextures(GLsizei, GLuint* names) {
    names[0] = 7;
}
void APIENTRY deleteTextures(GLsizei, const GLuint*) {
    ++gl.deleted;
}
void APIENTRY bindTexture(GLenum, GLuint texture) {
    gl.bound = texture;
}
void APIENTRY texParameteri(GLenum, GLenum name, GLint value) {
    gl.filters[name] = value;
}
void APIENTRY texImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum layout, GLenum, const void*) {
    gl.layout = layout;
}
void APIENTRY texSubImage2D(GLenum, GLint, GLint, GLint y, GLsizei, GLsizei lines, GLenum, GLenum,
                            const void* pixels) {
    std::uint32_t first = 0;
    std::memcpy(&first, pixels, sizeof first);
    gl.uploads.push_back(Upload{y, lines, first});
}
GLenum APIENTRY getError() {
    return gl.error;
}
void APIENTRY viewport(GLint, GLint, GLsizei width, GLsizei height) {
    gl.viewports.emplace_back(width, height);
}
void APIENTRY matrixMode(GLenum mode) {
    gl.matrix = mode;
}
constexpr std::array<GLdouble, 4> kIdentity{-1, 1, -1, 1};
void APIENTRY loadIdentity() {
    if (gl.matrix == GL_PROJECTION) gl.projection = kIdentity;
    gl.modelViewIdentity = gl.modelViewIdentity || gl.matrix == GL_MODELVIEW;
}
// Only an orthographic projection set up from the identity is modelled.
void APIENTRY ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble, GLdouble) {
    if (gl.matrix == GL_PROJECTION)
        gl.projection =
            gl.projection == kIdentity ? std::array{left, right, bottom, top} : std::array<GLdouble, 4>{};
    gl.modelViewIdentity = gl.modelViewIdentity && gl.matrix != GL_MODELVIEW;
}
void APIENTRY enable(GLenum capability) {
    gl.textured = gl.textured || capability == GL_TEXTURE_2D;
}
void APIENTRY begin(GLenum) {
    gl.corners.clear();
}
void APIENTRY end() {
    const auto& [left, right, bottom, top] = gl.projection;
    std::set<std::pair<GLfloat, GLfloat>> shown;  // the texture corners that land on their own corner
    for (const auto& [s, t, x, y] : gl.corners) {
        if ((s == 0 || s == 1) && (t == 0 || t == 1) && 2 * (x - left) / (right - left) - 1 == 2 * s - 1 &&
            2 * (y - bottom) / (top - bottom) - 1 == 1 - 2 * t)
            shown.emplace(s, t);
    }
    gl.quads += gl.corners.size() == 4 && shown.size() == 4 && gl.bound == 7 && gl.textured &&
                gl.modelViewIdentity && gl.layout == kBgra &&
                gl.filters[GL_TEXTURE_MIN_FILTER] == GL_NEAREST &&
                gl.filters[GL_TEXTURE_MAG_FILTER] == GL_NEAREST;
}
void APIENTRY texCoord2f(GLfloat s, GLfloat t) {
    gl.s = s;
    gl.t = t;
}
void APIENTRY vertex2f(GLfloat x, GLfloat y) {
    gl.corners.push_back({gl.s, gl.t, x, y});
}

const std::map<std::string, void*> kLibrary = {
    {"glGenTextures", reinterpret_cast<void*>(&genTextures)},
    {"glDeleteTextures", reinterpret_cast<void*>(&deleteTextures)},
    {"glBindTexture", reinterpret_cast<void*>(&bindTexture)},
    {"glTexParameteri", reinterpret_cast<void*>(&texParameteri)},
    {"glTexImage2D", reinterpret_cast<void*>(&texImage2D)},
    {"glTexSubImage2D", reinterpret_cast<void*>(&texSubImage2D)},
    {"glGetError", reinterpret_cast<void*>(&getError)},
    {"glViewport", reinterpret_cast<void*>(&viewport)},
    {"glMatrixMode", reinterpret_cast<void*>(&matrixMode)},
    {"glLoadIdentity", reinterpret_cast<void*>(&loadIdentity)},
    {"glOrtho", reinterpret_cast<void*>(&ortho)},
    {"glEnable", reinterpret_cast<void*>(&enable)},
    {"glBegin", reinterpret_cast<void*>(&begin)},
    {"glEnd", reinterpret_cast<void*>(&end)},
    {"glTexCoord2f", reinterpret_cast<void*>(&texCoord2f)},
    {"glVertex2f", reinterpret_cast<void*>(&vertex2f)},
};

class GlTextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gl = GlRecord{};
        screen.width = 4;
        screen.height = 10;
        screen.depth = 32;
        screen.bytesPerPixel = 4;
        screen.pitch = 16;
        screen.colourMask = 0xFFFFFFFFu;
        screen.pages.assign(1, std::vector<std::uint8_t>(160));
    }
    bool create(const std::string& missing = "") {
        return texture.create(
            [missing](const char* name) { return name == missing ? nullptr : kLibrary.at(name); }, screen);
    }

    ScreenState screen;
    GlTexture texture;
};

TEST_F(GlTextureTest, AMissingEntryPointOrAGlErrorRefusesTheStart) {
    EXPECT_FALSE(create("glTexSubImage2D"));
    gl.error = GL_OUT_OF_MEMORY;
    EXPECT_FALSE(create());
    gl.error = GL_NO_ERROR;
    EXPECT_TRUE(create());
    texture.destroy();
    texture.destroy();
    EXPECT_EQ(gl.deleted, 1);
}

TEST_F(GlTextureTest, EachRunOfRowsIsOneUploadThenTheWholeTextureIsShown) {
    GlPresenter presenter;
    ASSERT_TRUE(presenter.start({[](const char* name) { return kLibrary.at(name); }, [] { ++gl.swaps; },
                                 [](std::int32_t& width, std::int32_t& height) {
                                     width = 800;
                                     height = 600;
                                 }},
                                screen));
    const std::uint32_t red = 0x00FF0000, blue = 0x000000FF;
    std::memcpy(screen.pages[0].data() + 2 * 16, &red, 4);
    std::memcpy(screen.pages[0].data() + 7 * 16, &blue, 4);
    presenter.transferRows({2, 3, screen.pages[0].data() + 2 * 16}, 2);
    presenter.transferRows({7, 1, screen.pages[0].data() + 7 * 16}, 2);
    presenter.finish();
    ASSERT_EQ(gl.uploads.size(), 2u);
    EXPECT_EQ(gl.uploads[0].firstLine, 2);
    EXPECT_EQ(gl.uploads[0].lines, 3);
    EXPECT_EQ(gl.uploads[0].firstPixel, red);
    EXPECT_EQ(gl.uploads[1].firstLine, 7);
    EXPECT_EQ(gl.uploads[1].lines, 1);
    EXPECT_EQ(gl.uploads[1].firstPixel, blue);
    EXPECT_EQ(gl.quads, 1);
    EXPECT_EQ(gl.swaps, 1);
    ASSERT_EQ(gl.viewports.size(), 1u);
    EXPECT_EQ(gl.viewports[0], (std::pair<GLsizei, GLsizei>{800, 600}));  // the whole drawable

    presenter.finish();  // a frame without rows: shown again, nothing uploaded
    EXPECT_EQ(gl.uploads.size(), 2u);
    EXPECT_EQ(gl.quads, 2);
    EXPECT_EQ(gl.swaps, 2);
}

}  // namespace
}  // namespace zopp
