// What the web tests look for in an 800 x 600 picture of the game, and how. The game's own drawing rules
// give the colours: a caption bar is its colour at 80 % over what lies beneath, the backdrop is
// (10, 10, 20), the grid's glow lines are (40, 40, 70) added on top, the craft is white, its exhaust
// (200, 100, 50), the crosshair (255, 50, 50), the HUD's labels (100, 255, 100) and its numbers
// (255, 255, 50), the shots (255, 128, 64). Sparks and stars can fall anywhere, so bands are judged by their median, and shapes by
// counts of matching pixels, never by single pixels.

export const BACKDROP = [10, 10, 20];

// A caption bar's colour over the plain backdrop.
export function barOverBackdrop(barColour) {
    return barColour.map((channel, i) => Math.round(0.8 * channel + 0.2 * BACKDROP[i]));
}
export const GREEN_BAR = barOverBackdrop([60, 90, 60]);
export const BLUE_BAR = barOverBackdrop([60, 60, 90]);

export function blankPicture(width, height, colour = BACKDROP) {
    const data = new Uint8Array(width * height * 4);
    for (let p = 0; p < width * height; ++p)
        data.set([...colour, 255], p * 4);
    return { width, height, data };
}

export function pixelAt(picture, x, y) {
    const at = (y * picture.width + x) * 4;
    return [picture.data[at], picture.data[at + 1], picture.data[at + 2]];
}

export function fillRect(picture, { x, y, width, height }, colour) {
    for (let row = Math.max(0, y); row < Math.min(picture.height, y + height); ++row)
        for (let column = Math.max(0, x); column < Math.min(picture.width, x + width); ++column)
            picture.data.set(colour, (row * picture.width + column) * 4);
}

function* pixelsIn(picture, { x = 0, y = 0, width = picture.width, height = picture.height } = {}) {
    const right = Math.min(picture.width, x + width), bottom = Math.min(picture.height, y + height);
    for (let row = Math.max(0, y); row < bottom; ++row)
        for (let column = Math.max(0, x); column < right; ++column)
            yield [column, row, pixelAt(picture, column, row)];
}

// Each channel's median over the region.
export function medianColour(picture, region) {
    const channels = [[], [], []];
    for (const [, , colour] of pixelsIn(picture, region))
        colour.forEach((value, i) => channels[i].push(value));
    return channels.map(values => {
        values.sort((a, b) => a - b);
        return values.length ? values[values.length >> 1] : NaN;
    });
}

export function colourNear(actual, expected, tolerance) {
    return actual.every((value, i) => Math.abs(value - expected[i]) <= tolerance);
}

// Colour tests for what the game draws; each takes [r, g, b].
export const looksLike = {
    craftWhite: ([r, g, b]) => Math.min(r, g, b) >= 225 && Math.max(r, g, b) - Math.min(r, g, b) <= 25,
    // Orange by its proportions, so that the sparks still count as they fade and where they add up.
    exhaust: ([r, g, b]) => r >= 100 && g >= 0.45 * r && g <= 0.75 * r && b >= 0.2 * r && b <= 0.6 * r,
    crosshairRed: ([r, g, b]) => r > 200 && g < 110 && b < 110,
    hudGreen: ([r, g, b]) => g > 180 && g - r > 60 && g - b > 60,
    hudYellow: ([r, g, b]) => r > 180 && g > 180 && b < 120,
    // Shots (255, 128, 64) and the sparks they burst into on a wall (255, 200, 60).
    shot: ([r, g, b]) => r > 220 && g >= 100 && g <= 225 && b < 150 && r - b > 100,
};

// Count and centre of the pixels in the region that pass the test.
export function findPixels(picture, region, test) {
    let count = 0, sumX = 0, sumY = 0;
    for (const [x, y, colour] of pixelsIn(picture, region)) {
        if (!test(colour)) continue;
        ++count;
        sumX += x;
        sumY += y;
    }
    return count ? { count, x: sumX / count, y: sumY / count } : { count: 0, x: NaN, y: NaN };
}

// The centre of the densest cluster of matching pixels: the window of size x size pixels (on an 8-pixel
// lattice) holding the most of them, and the centre of those. The craft is a small closed outline of
// white lines; stretched grid lines also reach white where several cross, but one here and one there.
export function densestSpot(picture, region, test, size = 40) {
    const { x = 0, y = 0, width = picture.width, height = picture.height } = region || {};
    const cell = 8, span = Math.max(1, Math.round(size / cell));
    const columns = Math.ceil(width / cell), rows = Math.ceil(height / cell);
    const counts = new Array(columns * rows).fill(0);
    for (const [px, py, colour] of pixelsIn(picture, { x, y, width, height }))
        if (test(colour)) ++counts[Math.floor((py - y) / cell) * columns + Math.floor((px - x) / cell)];
    let best = 0, bestColumn = 0, bestRow = 0;
    for (let row = 0; row + span <= rows; ++row)
        for (let column = 0; column + span <= columns; ++column) {
            let sum = 0;
            for (let r = row; r < row + span; ++r)
                for (let c = column; c < column + span; ++c)
                    sum += counts[r * columns + c];
            if (sum > best) [best, bestColumn, bestRow] = [sum, column, row];
        }
    if (best === 0) return { count: 0, x: NaN, y: NaN };
    return findPixels(picture, { x: x + bestColumn * cell, y: y + bestRow * cell, width: span * cell, height: span * cell }, test);
}

// Grid lines crossed along one row: rises of the blue channel from near the backdrop to clearly above it,
// counted only where the rise lies a grid spacing (32 pixels, give or take the springs' give) after the
// one before. A row across the arena crosses some twenty grid columns; stars, sparks and lines of text
// give rises that are too close together or too far apart to count.
export function gridCrossings(picture, y, fromX = 0, toX = picture.width) {
    const lit = BACKDROP[2] + 18, dark = BACKDROP[2] + 8;
    let crossings = 0, inLine = true, previousRise = -Infinity;
    for (let x = fromX; x < toX; ++x) {
        const blue = pixelAt(picture, x, y)[2];
        if (!inLine && blue >= lit) {
            const gap = x - previousRise;
            if (gap >= 22 && gap <= 42) ++crossings;
            previousRise = x;
            inLine = true;
        } else if (inLine && blue <= dark) {
            inLine = false;
        }
    }
    return crossings;
}

// Median over several rows of the screen, above and below the craft's start, clear of the HUD.
export function gridLinesAcross(picture) {
    const counts = [120, 170, 220, 380, 430, 480].map(y => gridCrossings(picture, y));
    counts.sort((a, b) => a - b);
    return counts[counts.length >> 1];
}

// A caption bar band, judged at the left edge where no text is: rows y .. y + height - 1.
function bandProblem(picture, name, y, height, expected) {
    const median = medianColour(picture, { x: 4, y, width: 56, height });
    return colourNear(median, expected, 10) ? null
        : `${name}: median colour (${median}) at x 4..59, rows ${y}..${y + height - 1}, expected about (${expected})`;
}

function notBandProblem(picture, name, y, height, band) {
    const median = medianColour(picture, { x: 4, y, width: 56, height });
    return colourNear(median, band, 10) ? `${name}: rows ${y}..${y + height - 1} show a bar (${median})` : null;
}

// Each scene check returns the list of what is wrong with the picture; empty when it looks right.

// The title's menu: five green bars from row 485 to 584, with nothing of the kind just above it (the
// configuration menu of the pause screen starts higher, at 445).
export function titleMenuProblems(picture) {
    return [
        bandProblem(picture, 'menu bars', 487, 96, GREEN_BAR),
        notBandProblem(picture, 'above the menu', 450, 30, GREEN_BAR),
    ].filter(Boolean);
}

// Play: no menu, the HUD's labels and numbers at the top, the grid across the arena.
export function playProblems(picture) {
    const problems = [notBandProblem(picture, 'menu bars in play', 487, 96, GREEN_BAR)];
    const label = findPixels(picture, { x: 28, y: 28, width: 50, height: 20 }, looksLike.hudGreen);
    if (label.count < 20) problems.push(`HUD: "Score" label at (30, 30) has ${label.count} green pixels, expected 20 or more`);
    const high = findPixels(picture, { x: 618, y: 28, width: 50, height: 20 }, looksLike.hudGreen);
    if (high.count < 20) problems.push(`HUD: "High" label at (620, 30) has ${high.count} green pixels, expected 20 or more`);
    const best = findPixels(picture, { x: 618, y: 48, width: 80, height: 20 }, looksLike.hudYellow);
    if (best.count < 10) problems.push(`HUD: best score at (620, 50) has ${best.count} yellow pixels, expected 10 or more`);
    const lines = gridLinesAcross(picture);
    if (lines < 6) problems.push(`grid: a row crosses ${lines} grid lines a spacing apart (median of six rows), expected 6 or more`);
    return problems.filter(Boolean);
}

// Pause: the "PAUSE" caption's blue bar at row 290 and the configuration menu's green bars from 445.
export function pauseProblems(picture) {
    return [
        bandProblem(picture, 'PAUSE bar', 287, 16, BLUE_BAR),
        bandProblem(picture, 'configuration menu bars', 447, 136, GREEN_BAR),
    ].filter(Boolean);
}

// Pixels that differ by more than the tolerance in any channel, within the region.
export function changedPixels(before, after, region, tolerance = 24) {
    let changed = 0;
    for (const [x, y, colour] of pixelsIn(before, region)) {
        const other = pixelAt(after, x, y);
        if (colour.some((value, i) => Math.abs(value - other[i]) > tolerance)) ++changed;
    }
    return changed;
}

// Game over with the name entry: "GAME OVER" at row 200, the verdict at 400 and, for a run that made the
// table, "ENTER YOUR NAME" at 440 with the typed name below it, each on a blue bar.
export function nameEntryProblems(picture) {
    return [
        bandProblem(picture, 'GAME OVER bar', 197, 16, BLUE_BAR),
        bandProblem(picture, 'verdict bar', 397, 16, BLUE_BAR),
        bandProblem(picture, 'name entry bars', 437, 36, BLUE_BAR),
    ].filter(Boolean);
}
