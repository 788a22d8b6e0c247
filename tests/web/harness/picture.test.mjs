// The pixel checks on pictures painted here, so that a check that always passes (or never can) shows up
// without a browser.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { decodePng, encodePng } from './png.mjs';
import {
    BLUE_BAR, GREEN_BAR, blankPicture, changedPixels, densestSpot, fillRect, findPixels, gridLinesAcross, looksLike,
    medianColour, nameEntryProblems, pauseProblems, pixelAt, playProblems, titleMenuProblems,
} from './picture.mjs';

const WIDTH = 800, HEIGHT = 600;

// Single bright pixels scattered as the starfield and sparks scatter them.
function sprinkle(picture, count, colour, seed = 7) {
    let state = seed;
    const next = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
    for (let i = 0; i < count; ++i)
        fillRect(picture, { x: Math.floor(next() * picture.width), y: Math.floor(next() * picture.height), width: 1, height: 1 }, colour);
}

function paintMenu(picture, firstRow, entries) {
    fillRect(picture, { x: 0, y: firstRow - 5, width: WIDTH, height: 20 * entries }, GREEN_BAR);
    // Entry texts in the middle, where the checks do not look.
    for (let i = 0; i < entries; ++i)
        fillRect(picture, { x: 340, y: firstRow + 20 * i, width: 120, height: 14 }, [150, 255, 150]);
}

function paintGrid(picture, offset = 0) {
    for (let x = offset; x < WIDTH; x += 32)
        fillRect(picture, { x, y: 0, width: 3, height: HEIGHT }, [40, 40, 90]);
    for (let y = offset; y < HEIGHT; y += 32)
        fillRect(picture, { x: 0, y, width: WIDTH, height: 3 }, [40, 40, 90]);
}

function paintHud(picture) {
    fillRect(picture, { x: 30, y: 32, width: 40, height: 2 }, [100, 255, 100]);
    fillRect(picture, { x: 30, y: 38, width: 40, height: 2 }, [100, 255, 100]);
    fillRect(picture, { x: 620, y: 32, width: 36, height: 2 }, [100, 255, 100]);
    fillRect(picture, { x: 620, y: 38, width: 36, height: 2 }, [100, 255, 100]);
    fillRect(picture, { x: 620, y: 52, width: 48, height: 2 }, [255, 255, 50]);
}

function titlePicture() {
    const picture = blankPicture(WIDTH, HEIGHT);
    sprinkle(picture, 3000, [200, 120, 255]);
    paintMenu(picture, 490, 5);
    return picture;
}

function playPicture() {
    const picture = blankPicture(WIDTH, HEIGHT);
    paintGrid(picture);
    sprinkle(picture, 800, [255, 255, 255]);
    paintHud(picture);
    return picture;
}

describe('PNG decoding', () => {
    test('a picture survives a round trip through every row filter', () => {
        const picture = blankPicture(37, 23);
        for (let i = 0; i < picture.data.length; ++i)
            picture.data[i] = (i * 7919 + (i >> 5) * 31) & 0xff;
        const decoded = decodePng(encodePng(picture));
        assert.equal(decoded.width, 37);
        assert.equal(decoded.height, 23);
        assert.deepEqual(Buffer.from(decoded.data), Buffer.from(picture.data));
    });

    test('what is not a PNG file is refused', () => {
        assert.throws(() => decodePng(Buffer.from('GIF89a and more')), /not a PNG/);
    });
});

describe('the title check', () => {
    test('passes the menu over a busy backdrop', () => {
        assert.deepEqual(titleMenuProblems(titlePicture()), []);
    });

    test('fails a picture without the menu, naming the bars', () => {
        const problems = titleMenuProblems(blankPicture(WIDTH, HEIGHT));
        assert.equal(problems.length, 1);
        assert.match(problems[0], /menu bars: median colour \(10,10,20\)/);
    });

    test("fails the pause screen's taller menu", () => {
        const picture = blankPicture(WIDTH, HEIGHT);
        paintMenu(picture, 450, 7);
        assert.match(titleMenuProblems(picture).join('\n'), /above the menu/);
    });

    test('fails bars of the wrong colour', () => {
        const picture = blankPicture(WIDTH, HEIGHT);
        fillRect(picture, { x: 0, y: 485, width: WIDTH, height: 100 }, BLUE_BAR);
        assert.equal(titleMenuProblems(picture).length, 1);
    });
});

describe('the play check', () => {
    test('passes the HUD over the grid', () => {
        assert.deepEqual(playProblems(playPicture()), []);
    });

    test('finds grid lines wherever the grid has scrolled to', () => {
        for (const offset of [0, 9, 31]) {
            const picture = blankPicture(WIDTH, HEIGHT);
            paintGrid(picture, offset);
            assert.ok(gridLinesAcross(picture) >= 20, `offset ${offset}: ${gridLinesAcross(picture)}`);
        }
    });

    test('does not take stars, sparks or lines of text for the grid', () => {
        const picture = titlePicture();
        // Letters of a hiscore line: strokes a few pixels apart.
        for (let x = 200; x < 600; x += 9)
            fillRect(picture, { x, y: 165, width: 2, height: 12 }, [160, 150, 255]);
        assert.ok(gridLinesAcross(picture) <= 2, `${gridLinesAcross(picture)} crossings`);
        assert.match(playProblems(picture).join('\n'), /grid: a row crosses/);
    });

    test('names each missing part of the HUD', () => {
        const picture = blankPicture(WIDTH, HEIGHT);
        paintGrid(picture);
        const problems = playProblems(picture).join('\n');
        assert.match(problems, /"Score" label/);
        assert.match(problems, /"High" label/);
        assert.match(problems, /best score/);
        assert.doesNotMatch(problems, /grid/);
    });

    test('fails while the title menu is still shown', () => {
        const picture = playPicture();
        paintMenu(picture, 490, 5);
        assert.match(playProblems(picture).join('\n'), /menu bars in play/);
    });
});

describe('the pause check', () => {
    test('passes the PAUSE bar and the configuration menu over the grid', () => {
        const picture = playPicture();
        fillRect(picture, { x: 0, y: 285, width: WIDTH, height: 20 }, BLUE_BAR);
        paintMenu(picture, 450, 7);
        assert.deepEqual(pauseProblems(picture), []);
    });

    test('fails play without the PAUSE bar', () => {
        const picture = playPicture();
        paintMenu(picture, 450, 7);
        assert.match(pauseProblems(picture).join('\n'), /PAUSE bar/);
    });
});

describe('the name entry check', () => {
    function gameOverPicture({ entry }) {
        const picture = playPicture();
        for (const row of entry ? [200, 400, 440, 460] : [200, 400])
            fillRect(picture, { x: 0, y: row - 5, width: WIDTH, height: 20 }, BLUE_BAR);
        return picture;
    }

    test('passes game over with the name asked for', () => {
        assert.deepEqual(nameEntryProblems(gameOverPicture({ entry: true })), []);
    });

    test('fails game over without an entry, and play', () => {
        assert.match(nameEntryProblems(gameOverPicture({ entry: false })).join('\n'), /name entry bars/);
        assert.equal(nameEntryProblems(playPicture()).length, 3);
    });
});

describe('finding what the game draws', () => {
    test('the centre of the craft and the count of its pixels', () => {
        const picture = blankPicture(WIDTH, HEIGHT);
        paintGrid(picture);
        fillRect(picture, { x: 500, y: 300, width: 10, height: 6 }, [255, 255, 255]);
        const craft = findPixels(picture, { x: 450, y: 250, width: 100, height: 100 }, looksLike.craftWhite);
        assert.equal(craft.count, 60);
        assert.equal(craft.x, 504.5);
        assert.equal(craft.y, 302.5);
    });

    test('the densest spot is the craft, not white crossings of the grid spread about', () => {
        const picture = blankPicture(WIDTH, HEIGHT);
        paintGrid(picture);
        for (let i = 0; i < 40; ++i) // bright crossings, 4 pixels each, scattered
            fillRect(picture, { x: 20 + ((i * 97) % 740), y: 90 + ((i * 53) % 480), width: 2, height: 2 }, [250, 250, 255]);
        // The craft: an outline of 24 x 20 around (613, 221).
        fillRect(picture, { x: 601, y: 211, width: 24, height: 2 }, [255, 255, 255]);
        fillRect(picture, { x: 601, y: 229, width: 24, height: 2 }, [255, 255, 255]);
        fillRect(picture, { x: 601, y: 211, width: 2, height: 20 }, [255, 255, 255]);
        fillRect(picture, { x: 623, y: 211, width: 2, height: 20 }, [255, 255, 255]);
        const everywhere = findPixels(picture, { x: 0, y: 80, width: WIDTH, height: 520 }, looksLike.craftWhite);
        assert.ok(Math.abs(everywhere.x - 612.5) > 50, 'the plain centre is pulled away by the crossings');
        const craft = densestSpot(picture, { x: 0, y: 80, width: WIDTH, height: 520 }, looksLike.craftWhite);
        assert.ok(Math.abs(craft.x - 612.5) <= 4 && Math.abs(craft.y - 220.5) <= 4, `found at (${craft.x}, ${craft.y})`);
    });

    test('nothing found gives a count of 0 and no centre', () => {
        const found = findPixels(blankPicture(20, 20), undefined, looksLike.crosshairRed);
        assert.equal(found.count, 0);
        assert.ok(Number.isNaN(found.x));
    });

    test('the colour tests tell the game colours apart', () => {
        const samples = {
            craftWhite: [255, 255, 255], exhaust: [200, 100, 50], crosshairRed: [255, 50, 50],
            hudGreen: [100, 255, 100], hudYellow: [255, 255, 50], shot: [255, 128, 64],
        };
        for (const [name, colour] of Object.entries(samples)) {
            assert.ok(looksLike[name](colour), `${name} accepts its own colour`);
            if (name === 'exhaust') assert.ok(looksLike.exhaust([101, 58, 48]), 'and a faded exhaust spark');
            for (const [otherName, otherColour] of Object.entries(samples)) {
                if (otherName === name) continue;
                // A shot is orange like the exhaust; the steering check fires no shots.
                if ([name, otherName].sort().join() === 'exhaust,shot') continue;
                assert.ok(!looksLike[name](otherColour), `${name} rejects ${otherName}`);
            }
        }
    });

    test('median colour ignores a minority of bright pixels', () => {
        const picture = blankPicture(10, 10, [50, 74, 52]);
        fillRect(picture, { x: 0, y: 0, width: 10, height: 4 }, [255, 255, 255]);
        assert.deepEqual(medianColour(picture, { x: 0, y: 0, width: 10, height: 10 }), [50, 74, 52]);
        assert.deepEqual(pixelAt(picture, 0, 0), [255, 255, 255]);
    });

    test('changed pixels count only differences beyond the tolerance', () => {
        const before = blankPicture(10, 10);
        const after = blankPicture(10, 10);
        fillRect(after, { x: 0, y: 0, width: 3, height: 3 }, [40, 10, 20]);
        fillRect(after, { x: 5, y: 5, width: 2, height: 2 }, [20, 20, 30]);
        assert.equal(changedPixels(before, after, undefined, 24), 9);
        assert.equal(changedPixels(before, after, undefined, 5), 13);
    });
});
