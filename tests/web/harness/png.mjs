// PNG in and out, just enough for the browser's screenshots: 8-bit greyscale, RGB, grey+alpha and RGBA,
// not interlaced. Decoding here keeps the pixel checks in Node, away from the page under test.
import zlib from 'node:zlib';

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const CHANNELS_BY_COLOUR_TYPE = { 0: 1, 2: 3, 4: 2, 6: 4 };

function paeth(left, up, upLeft) {
    const estimate = left + up - upLeft;
    const toLeft = Math.abs(estimate - left);
    const toUp = Math.abs(estimate - up);
    const toUpLeft = Math.abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// Returns { width, height, data } with data as RGBA bytes, rows top to bottom.
export function decodePng(bytes) {
    const buffer = Buffer.from(bytes);
    if (buffer.length < 8 || !buffer.subarray(0, 8).equals(SIGNATURE)) throw new Error('not a PNG file');
    let width = 0, height = 0, channels = 0;
    const compressed = [];
    for (let at = 8; at + 8 <= buffer.length;) {
        const length = buffer.readUInt32BE(at);
        const type = buffer.toString('latin1', at + 4, at + 8);
        const body = buffer.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const [bitDepth, colourType, , , interlace] = body.subarray(8, 13);
            channels = CHANNELS_BY_COLOUR_TYPE[colourType];
            if (bitDepth !== 8 || !channels || interlace !== 0)
                throw new Error(`unsupported PNG: depth ${bitDepth}, colour type ${colourType}, interlace ${interlace}`);
        } else if (type === 'IDAT') {
            compressed.push(body);
        } else if (type === 'IEND') {
            break;
        }
        at += 12 + length;
    }
    if (!channels) throw new Error('PNG without a header');
    const raw = zlib.inflateSync(Buffer.concat(compressed));
    const stride = width * channels;
    if (raw.length < height * (stride + 1)) throw new Error('PNG data ends early');

    const pixels = Buffer.alloc(height * stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const source = y * (stride + 1) + 1;
        const row = y * stride;
        for (let i = 0; i < stride; ++i) {
            const left = i >= channels ? pixels[row + i - channels] : 0;
            const up = y > 0 ? pixels[row - stride + i] : 0;
            const upLeft = y > 0 && i >= channels ? pixels[row - stride + i - channels] : 0;
            let predicted;
            switch (filter) {
            case 0: predicted = 0; break;
            case 1: predicted = left; break;
            case 2: predicted = up; break;
            case 3: predicted = (left + up) >> 1; break;
            case 4: predicted = paeth(left, up, upLeft); break;
            default: throw new Error(`PNG row ${y} has unknown filter ${filter}`);
            }
            pixels[row + i] = (raw[source + i] + predicted) & 0xff;
        }
    }

    const data = new Uint8Array(width * height * 4);
    for (let p = 0; p < width * height; ++p) {
        const from = p * channels;
        const grey = channels <= 2;
        data[p * 4] = pixels[from];
        data[p * 4 + 1] = grey ? pixels[from] : pixels[from + 1];
        data[p * 4 + 2] = grey ? pixels[from] : pixels[from + 2];
        data[p * 4 + 3] = channels === 2 ? pixels[from + 1] : channels === 4 ? pixels[from + 3] : 255;
    }
    return { width, height, data };
}

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k)
        c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});

function crc32(bytes) {
    let c = 0xffffffff;
    for (const byte of bytes)
        c = CRC_TABLE[(c ^ byte) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, body) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(body.length, 0);
    head.write(type, 4, 'latin1');
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
    return Buffer.concat([head, body, crc]);
}

// RGBA picture to PNG, each row with the filter its index picks (0..4 in turn), so that a round trip
// exercises every filter the decoder must undo.
export function encodePng({ width, height, data }) {
    const stride = width * 4;
    const raw = Buffer.alloc(height * (stride + 1));
    for (let y = 0; y < height; ++y) {
        const filter = y % 5;
        raw[y * (stride + 1)] = filter;
        for (let i = 0; i < stride; ++i) {
            const at = y * stride + i;
            const left = i >= 4 ? data[at - 4] : 0;
            const up = y > 0 ? data[at - stride] : 0;
            const upLeft = y > 0 && i >= 4 ? data[at - stride - 4] : 0;
            const predicted = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
            raw[y * (stride + 1) + 1 + i] = (data[at] - predicted) & 0xff;
        }
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header.set([8, 6, 0, 0, 0], 8);
    return Buffer.concat([SIGNATURE, chunk('IHDR', header), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}
