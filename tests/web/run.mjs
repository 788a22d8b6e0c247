// The web build played in Debian's headless Chromium with software WebGL, as a player would: keys,
// mouse and the page's storage, judged by the pictures the canvas shows. Run through `make test-web`,
// which builds the page first; alone: node tests/web/run.mjs [build-web].
//
// Each case is named and prints one line; a failing case saves the last picture it took into
// build-web-test/failures/. Cases on one page follow on from each other (the run the title starts is the
// run the keys steer), so a case whose page is broken is reported as failed without waiting on it. The
// last line is the count of passed and failed cases.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { GamePage, launchBrowser, placeFileInGameStorage, startServer, waitUntil } from './harness/browser.mjs';
import {
    changedPixels, colourNear, densestSpot, findPixels, looksLike, medianColour, nameEntryProblems, pauseProblems,
    pixelAt, playProblems, titleMenuProblems,
} from './harness/picture.mjs';
import { decodePng } from './harness/png.mjs';
import { readHiscores, settingsText } from './harness/settings.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const buildFolder = path.resolve(process.argv[2] || path.join(root, 'build-web'));
const failureFolder = path.join(root, 'build-web-test', 'failures');

// Limits for a slow, shared 2-core machine; each wait ends as soon as its condition holds.
const START_LIMIT = 60000;
const PICTURE_LIMIT = 15000;
// Three lives lost to enemies the craft does not avoid, with the respawn shields in between.
const GAME_OVER_LIMIT = 240000;

const PLAYER_NAME = 'webby';

const cases = [];
function testCase(name, body, { page = 'first' } = {}) {
    cases.push({ name, body, page });
}

// Where the craft is: the densest cluster of white below the HUD.
const BELOW_HUD = { x: 0, y: 80, width: 800, height: 520 };
function findCraft(picture) {
    return densestSpot(picture, BELOW_HUD, looksLike.craftWhite);
}

async function holdKeyUntil(game, key, untilFound, limitMs) {
    await game.page.keyboard.down(key);
    try {
        return await waitUntil(async () => untilFound(await game.picture()), { limitMs, everyMs: 30, describe: () => `${key} held` });
    } finally {
        await game.page.keyboard.up(key);
    }
}

// Where the game keeps its files, as the first page tells it.
let gameFolder = null;
// A second tab of the prepared page's storage, started before a name is entered in the first.
let siblingTab = null;

testCase('the title appears with its menu', async ({ game }) => {
    await game.load();
    await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    gameFolder = await game.workingDirectory();
});

testCase('Enter starts a run: the HUD and the grid appear', async ({ game }) => {
    await game.tapKey('Enter');
    await game.waitForPicture(playProblems, PICTURE_LIMIT);
});

testCase('the first key press starts the sound, or leaves it silent where audio is refused', async ({ game }) => {
    const status = await game.waitForStatus(s => s.audio !== 'waiting', 'audio to leave "waiting"', PICTURE_LIMIT);
    if (!['running', 'refused'].includes(status.audio)) throw new Error(`audio is "${status.audio}"`);
});

testCase('the arrow keys steer the craft, its exhaust behind it', async ({ game }) => {
    let last = findCraft(await game.picture());
    if (last.count < 20) throw new Error(`no craft found: ${last.count} white pixels below the HUD`);
    for (const [key, sign] of [['ArrowRight', +1], ['ArrowLeft', -1]]) {
        const from = last;
        let exhaustBehind = 0;
        await holdKeyUntil(game, key, picture => {
            const craft = findCraft(picture);
            if (craft.count >= 20) last = craft;
            // Exhaust sparks leave the craft backwards; those behind it on this side are this thrust's.
            const behind = sign > 0 ? { x: 0, width: Math.round(last.x) } : { x: Math.round(last.x), width: 800 };
            exhaustBehind = Math.max(exhaustBehind, findPixels(picture, { ...BELOW_HUD, ...behind }, looksLike.exhaust).count);
            return sign * (last.x - from.x) >= 40 && exhaustBehind >= 6;
        }, 5000).catch(() => {
            throw new Error(`${key}: the craft went from x ${from.x.toFixed(0)} to ${last.x.toFixed(0)} (40 or more expected), `
                + `with at most ${exhaustBehind} exhaust-coloured pixels behind it (6 or more expected)`);
        });
    }
});

// What is wrong with the crosshair the picture shows for a pointer at (x, y); null when it is centred there.
function crosshairProblem(picture, x, y) {
    const seen = findPixels(picture, { x: x - 40, y: y - 40, width: 80, height: 80 }, looksLike.crosshairRed);
    if (seen.count >= 8 && Math.hypot(seen.x - x, seen.y - y) <= 6) return null;
    return `pointer at (${x}, ${y}): ${seen.count} red pixels near it, centred at (${seen.x}, ${seen.y})`;
}

testCase('the crosshair follows the mouse', async ({ game }) => {
    for (const [x, y] of [[650, 160], [150, 450]]) {
        await game.page.mouse.move(x, y, { steps: 4 });
        let problem = null;
        await waitUntil(async () => !(problem = crosshairProblem(await game.picture(), x, y)),
            { limitMs: PICTURE_LIMIT, describe: () => problem });
    }
});

testCase('a wider window: the picture keeps 4:3 between black bars, and the pointer still lands on it', async ({ game }) => {
    await game.page.setViewport({ width: 1000, height: 600, deviceScaleFactor: 1 });
    try {
        // The picture is 800 x 600 in the middle, x 100 to 899 of the window; the mouse goes to the
        // window's point over the picture's (650, 160).
        const [x, y] = [650, 160];
        await game.page.mouse.move(100 + x, y, { steps: 4 });
        let windowPicture = null, problems = [];
        await waitUntil(async () => {
            windowPicture = decodePng(await game.page.screenshot({ type: 'png' }));
            problems = [];
            for (const barX of [0, 900]) {
                const bar = medianColour(windowPicture, { x: barX, y: 60, width: 100, height: 540 });
                if (!colourNear(bar, [0, 0, 0], 4)) problems.push(`the bar at x ${barX}..${barX + 99} is (${bar}), not black`);
            }
            const picture = medianColour(windowPicture, { x: 100, y: 60, width: 800, height: 400 });
            if (colourNear(picture, [0, 0, 0], 4)) problems.push('the picture between the bars is black');
            const crosshair = crosshairProblem(windowPicture, 100 + x, y);
            if (crosshair) problems.push(`in the window, ${crosshair}`);
            return problems.length === 0;
        }, { limitMs: PICTURE_LIMIT, describe: () => problems.join('; ') });
    } finally {
        await game.page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
    }
});

testCase('the left mouse button fires towards the pointer', async ({ game }) => {
    const craft = findCraft(await game.picture());
    if (craft.count < 20) throw new Error('no craft found');
    // Towards the farther side, so that the shots fly across open arena before they meet a wall.
    const side = craft.x < 400 ? +1 : -1;
    const target = { x: Math.round(craft.x + side * 250), y: Math.round(craft.y) };
    await game.page.mouse.move(target.x, target.y, { steps: 4 });
    const before = findPixels(await game.picture(), BELOW_HUD, looksLike.shot).count;
    let shots = null;
    await game.page.mouse.down({ button: 'left' });
    try {
        await waitUntil(async () => {
            shots = findPixels(await game.picture(), BELOW_HUD, looksLike.shot);
            return shots.count >= before + 60 && side * (shots.x - craft.x) > 30;
        }, {
            limitMs: PICTURE_LIMIT,
            describe: () => `shot-coloured pixels ${before} before, ${shots.count} while firing, centred at x ${shots.x.toFixed(0)}; craft at x ${craft.x.toFixed(0)}, pointer at x ${target.x}`,
        });
    } finally {
        await game.page.mouse.up({ button: 'left' });
    }
});

testCase('P pauses the run ("PAUSE" and the menu, the arena frozen) and P goes on', async ({ game }) => {
    await game.tapKey('KeyP');
    const paused = await game.waitForPicture(pauseProblems, PICTURE_LIMIT);
    await game.framesPassed(20);
    const later = await game.picture();
    const arena = { x: 0, y: 80, width: 800, height: 200 };
    const changed = changedPixels(paused, later, arena);
    if (changed > 200) throw new Error(`the arena above the PAUSE bar changed in ${changed} pixels over 20 paused frames`);
    await game.tapKey('KeyP');
    await game.waitForPicture(picture => {
        const stillPaused = pauseProblems(picture).length === 0;
        return stillPaused ? ['still paused after the second P'] : playProblems(picture);
    }, PICTURE_LIMIT);
});

// A screenshot in the browser is offered as a download: the player's storage is no place the player can
// open.
testCase('Z offers the picture as a download instead of storing it', async ({ game }) => {
    const session = await game.page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'deny' });
    const before = (await game.status()).downloads || 0;
    await game.tapKey('KeyZ');
    await game.waitForStatus(s => (s.downloads || 0) === before + 1, 'one download offered', PICTURE_LIMIT);
    if (await game.readGameFile('screen000.png') !== null) throw new Error('the screenshot was stored as well');
});

// A table whose lowest score any run beats, below a best no run reaches: the run is asked for its name
// alone. Keys and mouse, so that no pad is waited for.
const preparedTable = settingsText({
    records: [...Array(9).keys()].map(i => ({ name: `BEST${i}`, brag: 'EAT THAT', score: 900000 - 1000 * i }))
        .concat([{ name: 'LOWEST', brag: '', score: -1 }]),
});

testCase('a prepared config.ini: the run ends in the hiscore table and takes a typed name', async ({ game }) => {
    if (!gameFolder) throw new Error('the first page never told where its files live');
    await placeFileInGameStorage(game.page.browserContext(), game.url, gameFolder, 'config.ini', preparedTable);
    await game.load();
    await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    const read = readHiscores(await game.readGameFile('config.ini'));
    if (!read || read[9].name !== 'LOWEST') throw new Error('the game did not start with the prepared config.ini');
    // A second tab starts from the same table, before the name below is entered; the first comes back to
    // the front to be played.
    await siblingTab.load();
    await siblingTab.waitForStatus(s => s.title, "the second tab's first title frame", START_LIMIT);
    await game.page.bringToFront();
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    await game.tapKey('Enter');
    await game.waitForPicture(playProblems, PICTURE_LIMIT);
    // Enemies find a craft that stays put; three lives later the game is over.
    await waitUntil(async () => nameEntryProblems(await game.picture()).length === 0,
        { limitMs: GAME_OVER_LIMIT, everyMs: 500, describe: () => 'no game over with the name entry' });
    // The name field takes one typed character a frame, and Enter counts at once: a typist faster than
    // the frames would confirm before the last letters are in.
    for (const letter of PLAYER_NAME) {
        await game.page.keyboard.type(letter);
        await game.framesPassed(3);
    }
    await game.tapKey('Enter');
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    const saved = readHiscores(await game.readGameFile('config.ini'));
    if (!saved) throw new Error('config.ini is not in the form the game writes after the entry');
    if (!saved.some(record => record.name === PLAYER_NAME.toUpperCase()))
        throw new Error(`the saved table has no ${PLAYER_NAME.toUpperCase()}: ${saved.map(r => r.name).join(', ')}`);
}, { page: 'prepared' });

// The settings file as IndexedDB holds it, read from a page of the origin.
function storedSettings(game) {
    return game.page.evaluate(mountPath => new Promise(resolve => {
        const request = indexedDB.open(mountPath);
        request.onerror = () => resolve(null);
        request.onsuccess = () => {
            const get = request.result.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA')
                .get(`${mountPath}/config.ini`);
            get.onsuccess = () => resolve(get.result?.contents ? Array.from(get.result.contents) : null);
            get.onerror = () => resolve(null);
        };
    }), gameFolder).then(bytes => bytes && Buffer.from(bytes).toString('latin1'));
}

async function hideAndShow(page) {
    for (const hidden of [true, false]) {
        await page.evaluate(hide => {
            Object.defineProperty(document, 'hidden', { value: hide, configurable: true });
            Object.defineProperty(document, 'visibilityState', { value: hide ? 'hidden' : 'visible', configurable: true });
            document.dispatchEvent(new Event('visibilitychange'));
        }, hidden);
    }
}

testCase('a second tab hidden and shown keeps the name the first entered, in IndexedDB and in its file', async ({ game }) => {
    const name = PLAYER_NAME.toUpperCase();
    const stale = readHiscores(await game.readGameFile('config.ini'));
    if (!stale || stale.some(record => record.name === name)) throw new Error('the second tab did not start before the entry');
    await game.page.bringToFront();
    await hideAndShow(game.page);
    const has = text => readHiscores(text || '')?.some(record => record.name === name);
    await waitUntil(async () => has(await storedSettings(game)) && has(await game.readGameFile('config.ini')) &&
        (await game.status()).storage === 'idb', { limitMs: PICTURE_LIMIT, describe: () => `${name} lost by the hidden tab` });
}, { page: 'sibling' });

testCase('after a reload the name is in the table, and Escape on the title saves it', async ({ game }) => {
    await game.load();
    const status = await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    if (status.storage !== 'idb') throw new Error(`storage is "${status.storage}", expected "idb"`);
    const name = PLAYER_NAME.toUpperCase();
    const reloaded = readHiscores(await game.readGameFile('config.ini'));
    if (!reloaded?.some(record => record.name === name)) throw new Error(`config.ini after the reload has no ${name}`);
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    // The game writes its own table when it is left: the name must be in what it holds, not only in the file.
    await game.page.evaluate(() => window.Module.FS.unlink('config.ini'));
    await game.tapKey('Escape');
    await game.waitForStatus(s => s.closed, 'the closing screen', PICTURE_LIMIT);
    const written = readHiscores(await game.readGameFile('config.ini'));
    if (!written) throw new Error('Escape on the title did not write a config.ini in the form the game writes');
    if (!written.some(record => record.name === name)) throw new Error(`the table the game wrote has no ${name}`);
    if (written.some(record => record.name === 'LOWEST')) throw new Error('the entry did not replace the lowest record');
}, { page: 'prepared' });

// A private window that refuses storage: IndexedDB throws as soon as the page touches it.
function refuseStorage() {
    Object.defineProperty(window, 'indexedDB', {
        get() {
            throw new DOMException('storage is refused here', 'SecurityError');
        },
    });
}

testCase('where storage is refused, the game starts with its defaults and plays', async ({ game }) => {
    await game.page.evaluateOnNewDocument(refuseStorage);
    await game.load();
    const status = await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    if (status.storage !== 'none') throw new Error(`storage is "${status.storage}", expected "none"`);
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    await game.tapKey('Enter');
    await game.waitForPicture(playProblems, PICTURE_LIMIT);
}, { page: 'private' });

testCase('a run file made on the desktop plays in the browser to its end and matches its record', async ({ game }) => {
    await game.load();
    await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    const input = await game.page.$('#runfile');
    await input.uploadFile(path.join(root, 'fuzz', 'corpus', 'run', 'desktop_abandoned.run'));
    await waitUntil(async () => (await game.page.evaluate(() => window.kelvanorWatchOutcome())) === 1,
        { limitMs: PICTURE_LIMIT, everyMs: 100, describe: () => 'the opened run never started' });
    await game.waitForPicture(playProblems, PICTURE_LIMIT);
    let outcome = 1;
    await waitUntil(async () => (outcome = await game.page.evaluate(() => window.kelvanorWatchOutcome())) !== 1,
        { limitMs: GAME_OVER_LIMIT, everyMs: 250, describe: () => 'the opened run never ended' });
    if (outcome !== 2) throw new Error(`the run ended with outcome ${outcome}, not matched (2)`);
}, { page: 'runs' });

testCase('a run played in the browser is kept in its storage and verifies on the desktop', async ({ game }) => {
    await game.tapKey('Escape'); // from the page the watch returned to
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    await game.tapKey('Enter');
    await game.waitForPicture(playProblems, PICTURE_LIMIT);
    await game.page.keyboard.down('ArrowLeft');
    await game.framesPassed(30);
    await game.page.keyboard.up('ArrowLeft');
    await game.tapKey('Escape'); // abandoned: still the last run played
    await game.waitForPicture(titleMenuProblems, PICTURE_LIMIT);
    const run = await game.readGameFile('runs/last.run');
    if (!run) throw new Error('no runs/last.run in the page\'s storage');
    const file = path.join(root, 'build-web-test', 'browser.run');
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, Buffer.from(run, 'latin1'));
    const verify = spawnSync(path.join(root, 'build', 'kelvanor'), ['--verify', file], { encoding: 'utf8' });
    if (verify.status !== 0) throw new Error(`--verify ended with ${verify.status}: ${verify.stdout}${verify.stderr}`);
}, { page: 'runs' });

// How many device pixels it takes the picture to go from the backdrop to the title menu's panel at the
// panel's top edge, at each of a row of columns across the panel: 0 where it is drawn at the screen's own
// pixels (a filled rectangle covers whole pixels), 2 or more where an 800 x 600 picture is stretched.
function panelEdgeBlur(picture, box) {
    const scale = box.height / 600;
    const blurs = [];
    for (let i = 0; i < 40; ++i) {
        const x = Math.round(box.x + box.width * (0.3 + 0.4 * i / 39));
        const green = y => pixelAt(picture, x, y)[1];
        // The panel starts at picture row 485; look a few of its pixels either side.
        const edge = Math.round(485 * scale);
        const from = edge - Math.round(6 * scale), to = edge + Math.round(6 * scale);
        const low = green(from), high = green(to);
        if (high - low < 30) continue; // something bright in front of the backdrop here
        let between = 0;
        for (let y = from; y <= to; ++y) {
            const level = (green(y) - low) / (high - low);
            if (level > 0.15 && level < 0.85) ++between;
        }
        blurs.push(between);
    }
    return blurs.sort((a, b) => a - b);
}

testCase('at a device pixel ratio of 2 the canvas has the screen\'s own pixels and the picture is drawn at them', async ({ game }) => {
    await game.page.setViewport({ width: 1280, height: 800, deviceScaleFactor: 2 });
    await game.load();
    await game.waitForStatus(s => s.title, 'the first title frame', START_LIMIT);
    await game.framesPassed(30);
    const canvas = await game.page.$eval('#screen', element => ({ width: element.width, height: element.height }));
    if (canvas.width !== 2560 || canvas.height !== 1600)
        throw new Error(`the canvas holds ${canvas.width} x ${canvas.height} pixels, expected 2560 x 1600`);
    // The 4:3 picture is 2133 x 1600 device pixels between bars 213 wide.
    const box = { x: 213, y: 0, width: 2133, height: 1600 };
    let blurs = [];
    await waitUntil(async () => {
        const picture = await game.picture();
        if (picture.width !== 2560) throw new Error(`the canvas's picture is ${picture.width} device pixels wide`);
        blurs = panelEdgeBlur(picture, box);
        return blurs.length >= 20 && blurs[Math.floor(blurs.length * 0.75)] === 0;
    }, { limitMs: PICTURE_LIMIT, describe: () => `device pixels between backdrop and panel, by column: ${blurs.join(' ')}` });
}, { page: 'hidpi' });

async function main() {
    if (!fs.existsSync(path.join(buildFolder, 'index.html'))) {
        console.error(`no ${path.join(buildFolder, 'index.html')}: build the page first (make web)`);
        process.exit(2);
    }
    fs.rmSync(failureFolder, { recursive: true, force: true });
    const server = await startServer(buildFolder);
    const chromium = await launchBrowser();
    const pages = {};
    const brokenPages = new Set();
    let passed = 0, failed = 0;
    const errorsSeen = [];
    try {
        pages.first = await GamePage.open(chromium.browser, server.url);
        const preparedContext = await chromium.browser.createBrowserContext();
        pages.prepared = await GamePage.open(preparedContext, server.url);
        pages.sibling = siblingTab = await GamePage.open(preparedContext, server.url);
        pages.private = await GamePage.open(await chromium.browser.createBrowserContext(), server.url);
        pages.runs = await GamePage.open(await chromium.browser.createBrowserContext(), server.url);
        pages.hidpi = await GamePage.open(await chromium.browser.createBrowserContext(), `${server.url}?scale=native`);
        for (const { name, body, page } of cases) {
            const game = pages[page];
            const started = Date.now();
            try {
                if (brokenPages.has(page)) throw new Error('not run: an earlier case on this page failed');
                await body({ game });
                ++passed;
                console.log(`ok - ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
            } catch (error) {
                ++failed;
                brokenPages.add(page);
                const saved = await game.saveDiagnosis(failureFolder, name).catch(() => null);
                console.log(`FAIL - ${name}: ${error.message}${saved ? ` (last picture: ${path.relative(root, saved)})` : ''}`);
            }
        }
        for (const game of Object.values(pages))
            errorsSeen.push(...game.errors);
        const name = 'nothing is logged as an error on the console';
        if (errorsSeen.length === 0) {
            ++passed;
            console.log(`ok - ${name}`);
        } else {
            ++failed;
            console.log(`FAIL - ${name}:\n  ${errorsSeen.join('\n  ')}`);
        }
    } finally {
        await chromium.close();
        await server.close();
    }
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed === 0 ? 0 : 1);
}

await main();
