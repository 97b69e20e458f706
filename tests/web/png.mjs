// Reads the PNG pictures Chromium's screenshots come as: 8 bits per channel, RGB or RGBA, not interlaced.
import { inflateSync } from 'node:zlib';

// { width, height, rgba }: the pixels as RGBA bytes, row by row.
export function decodePng(png) {
    const width = png.readUInt32BE(16), height = png.readUInt32BE(20);
    const depth = png[24], colourType = png[25], interlaced = png[28];
    if (depth !== 8 || (colourType !== 2 && colourType !== 6) || interlaced) {
        throw new Error(`an unexpected PNG: depth ${depth}, colour type ${colourType}, interlace ${interlaced}`);
    }
    const channels = colourType === 6 ? 4 : 3, stride = width * channels;
    const parts = [];
    for (let at = 8; at < png.length;) {
        const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
        if (type === 'IDAT') parts.push(png.subarray(at + 8, at + 8 + length));
        at += 12 + length;
    }
    const filtered = inflateSync(Buffer.concat(parts));
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = filtered[y * (stride + 1)], line = filtered.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let x = 0; x < stride; ++x) {
            const left = x >= channels ? rows[y * stride + x - channels] : 0;
            const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
            const upLeft = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
            const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
            rows[y * stride + x] = (line[x] + predictor) & 0xff;
        }
    }
    const rgba = Buffer.alloc(width * height * 4, 0xff);
    for (let i = 0; i < width * height; ++i) rows.copy(rgba, 4 * i, channels * i, channels * i + channels);
    return { width, height, rgba };
}

function paeth(left, up, upLeft) {
    const estimate = left + up - upLeft;
    const toLeft = Math.abs(estimate - left), toUp = Math.abs(estimate - up), toUpLeft = Math.abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return left;
    return toUp <= toUpLeft ? up : upLeft;
}
