#include <string_view>
#include <vector>

#include "tools/board_pictures.h"
#include "tools/dice.h"
#include "tools/palette.h"

namespace zopp::pictures {

Canvas drawScoreCell(bool emphasised) {
    // Texts take rows 2 to 17 and, at their widest, columns 6 to 93: those stay pure paper, since red
    // on anything darker than white falls under 4.5:1.
    Canvas canvas(100, 20, kPaper);
    const Shape cell = box(0, 0, 100, 20, 0);
    if (!emphasised) {
        canvas.fill(cut(cell, box(1, 1, 99, 19, 0)), rgb(0xB4C2C8));
        return canvas;
    }
    canvas.fill(cut(cell, box(1, 1, 99, 19, 0)), rgb(0x35566A));
    canvas.fill(cut(box(1, 1, 99, 19, 0), box(2, 2, 98, 18, 0)), rgb(0xC9DCE6));
    return canvas;
}

Canvas drawLock(bool closed) {
    Canvas canvas(10, 10, kFelt);
    // o shackle, B body edge, G body, k keyhole.
    static const std::vector<std::string_view> kClosedLock = {
        "...oooo...", "..o....o..", "..o....o..", "..o....o..", ".BBBBBBBB.",
        ".BGGGGGGB.", ".BGGkkGGB.", ".BGGkkGGB.", ".BGGGGGGB.", ".BBBBBBBB.",
    };
    // The shackle swung up and free of the body.
    static const std::vector<std::string_view> kOpenLock = {
        "..oooo....", ".o....o...", ".o....o...", "......o...", ".BBBBBBBB.",
        ".BGGGGGGB.", ".BGGkkGGB.", ".BGGkkGGB.", ".BGGGGGGB.", ".BBBBBBBB.",
    };
    const Colour body = closed ? rgb(0xE9B63C) : rgb(0xD8DED6);
    const Colour edge = closed ? rgb(0x7A4A08) : rgb(0x6C7A6C);
    const Colour shackle = closed ? rgb(0x3C3C44) : rgb(0x6C7A6C);
    canvas.stamp(0, 0, closed ? kClosedLock : kOpenLock, [&](char c) {
        switch (c) {
            case 'o':
                return shackle;
            case 'B':
            case 'k':
                return edge;
            default:
                return body;
        }
    });
    return canvas;
}

Canvas drawButton(int style) {
    Canvas canvas(200, 50, kFelt);
    const Shape body = box(1.5, 1.5, 198.5, 46.5, 10);
    canvas.fill(shifted(body, 1.0, 2.0), kFeltShade, 0.4, 2.0);
    const Colour top = style == 0 ? rgb(0xFFE39A) : rgb(0xD3ECFD);
    const Colour bottom = style == 0 ? rgb(0xF2B13E) : rgb(0x86BFEA);
    const Colour edge = style == 0 ? rgb(0x8E5A12) : rgb(0x2C5F8F);
    canvas.fill(body, [&](double, double y) { return mix(top, bottom, (y - 1.5) / 45); });
    canvas.fill(cut(body, shifted(body, 0, 1.5)), kPaper, 0.6);
    canvas.fill(outline(body, 0.6), edge);
    if (style == 0) {
        // Throw: a die at each end, beside the longest text ("2. Wurf Spieler 4", columns 32 to 167).
        paintDie(canvas, {17.5, 24.5, 19, 4, 1.7}, 3);
        paintDie(canvas, {182.5, 24.5, 19, 4, 1.7}, 5);
    } else {
        // To the scoreboard, which lies above: chevrons pointing up, above the text.
        for (double x : {84.0, 100.0, 116.0}) {
            canvas.fill(unite(segment(x - 5, 11, x, 6, 1.1), segment(x, 6, x + 5, 11, 1.1)), edge, 0.85);
        }
    }
    return canvas;
}

Canvas drawCheckmark(bool ticked) {
    Canvas canvas(20, 20, kFelt);
    const Shape frame = box(1.5, 1.5, 18.5, 18.5, 3.5);
    canvas.fill(shifted(frame, 0.5, 1.0), kFeltShade, 0.4, 1.5);
    canvas.fill(frame, kPaper);
    canvas.fill(outline(frame, 0.6), rgb(0x33413A));
    if (ticked) {
        const Colour ink = rgb(0x1B7A31);
        canvas.fill(unite(segment(5.2, 10.2, 8.6, 13.8, 1.5), segment(8.6, 13.8, 15.0, 5.6, 1.5)), ink);
    }
    return canvas;
}

}  // namespace zopp::pictures
