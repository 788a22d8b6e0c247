// The web build's figures, measured in Debian's headless Chromium with software WebGL (SwiftShader):
//   weight     the page's files in the build folder (the page, its script, its module and any data), and
//              the bytes the page really fetched when it loaded
//   start-up   navigation to the first title frame, in fresh browser contexts (nothing cached)
//   frames     the title and level-1 play: game frames a second, the spacing of animation frames, the
//              page's main-thread time per game frame (the DevTools protocol's TaskDuration) and the CPU
//              time of all of Chromium's processes per game frame, SwiftShader's drawing included
// Run through `make web-figures`; alone: node tests/web/figures.mjs [build-web]. STARTUP_RUNS=N for
// another number of start-ups (5 by default). Other load on the machine makes every time here longer.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { GamePage, launchBrowser, startServer } from './harness/browser.mjs';
import { playProblems, titleMenuProblems } from './harness/picture.mjs';

const buildFolder = path.resolve(process.argv[2] || 'build-web');
const startupRuns = Number(process.env.STARTUP_RUNS || 5);
const SAMPLE_FRAMES = 300;

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[sorted.length >> 1];
}
function percentile(values, fraction) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.floor(fraction * sorted.length))];
}

// What a web server would serve of the build folder: its top-level page files, not CMake's leftovers.
const PAGE_FILE = /\.(html|js|wasm|data|css|png|ico|json)$/;
function pageFiles(folder) {
    return fs.readdirSync(folder, { withFileTypes: true })
        .filter(entry => entry.isFile() && PAGE_FILE.test(entry.name) && entry.name !== 'compile_commands.json')
        .map(entry => ({ name: entry.name, bytes: fs.statSync(path.join(folder, entry.name)).size }));
}

// User and system CPU time, in milliseconds, of the process and each of its descendants, with Chromium's
// process type (gpu-process, renderer, ...; the browser process itself is "browser").
function cpuMillisOfTree(rootPid) {
    const stats = fs.readdirSync('/proc').filter(name => /^\d+$/.test(name)).map(pid => {
        try {
            const text = fs.readFileSync(`/proc/${pid}/stat`, 'latin1');
            const fields = text.slice(text.lastIndexOf(')') + 2).split(' ');
            const commandLine = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1');
            const type = /--type=([a-z-]+)/.exec(commandLine)?.[1] || 'browser';
            return { pid: Number(pid), parent: Number(fields[1]), type, ticks: Number(fields[11]) + Number(fields[12]) };
        } catch {
            return null;
        }
    }).filter(Boolean);
    const inTree = new Set([rootPid]);
    for (let grew = true; grew;) {
        grew = false;
        for (const { pid, parent } of stats)
            if (inTree.has(parent) && !inTree.has(pid)) {
                inTree.add(pid);
                grew = true;
            }
    }
    const ticksPerSecond = 100;
    return new Map(stats.filter(({ pid }) => inTree.has(pid))
        .map(({ pid, type, ticks }) => [pid, { type, millis: ticks * 1000 / ticksPerSecond }]));
}

// CPU milliseconds spent between two readings, in all and by process type, counting only the processes
// alive at both (one that ended between them takes its time with it).
function cpuSpent(before, after) {
    const byType = { all: 0 };
    for (const [pid, { type, millis }] of after) {
        if (!before.has(pid)) continue;
        const spent = millis - before.get(pid).millis;
        byType[type] = (byType[type] || 0) + spent;
        byType.all += spent;
    }
    return byType;
}

// Notes the page time of the first animation frame that finds the title presented (at most one frame
// after it was), and keeps the spacing of animation frames once asked to.
function watchPage() {
    window.kelvanorFigures = { titleAt: null, intervals: null };
    let previous = null;
    const look = now => {
        const figures = window.kelvanorFigures;
        if (figures.titleAt === null && window.kelvanorStatus && window.kelvanorStatus.title) figures.titleAt = performance.now();
        if (figures.intervals && previous !== null) figures.intervals.push(now - previous);
        previous = now;
        requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
}

async function measureStartup(chromium, url) {
    const times = [];
    for (let run = 0; run < startupRuns; ++run) {
        const context = await chromium.browser.createBrowserContext();
        const game = await GamePage.open(context, url);
        await game.page.evaluateOnNewDocument(watchPage);
        await game.load();
        await game.waitForStatus(s => s.title, 'the first title frame', 60000);
        await game.framesPassed(2);
        // The page's own note of the first title frame when it keeps one; else the animation frame after.
        times.push(await game.page.evaluate(() => window.kelvanorStatus.titleMillis ?? window.kelvanorFigures.titleAt));
        await context.close();
    }
    return times;
}

async function measureFrames(chromium, game, what) {
    const session = await game.page.createCDPSession();
    await session.send('Performance.enable');
    const taskSeconds = async () => (await session.send('Performance.getMetrics')).metrics.find(m => m.name === 'TaskDuration').value;
    await game.page.evaluate(() => (window.kelvanorFigures.intervals = []));
    const before = { status: await game.status(), task: await taskSeconds(), cpu: cpuMillisOfTree(chromium.browser.process().pid), at: Date.now() };
    await game.framesPassed(SAMPLE_FRAMES, 120000);
    const after = { status: await game.status(), task: await taskSeconds(), cpu: cpuMillisOfTree(chromium.browser.process().pid), at: Date.now() };
    const intervals = await game.page.evaluate(() => window.kelvanorFigures.intervals);
    await session.detach();
    const frames = after.status.frames - before.status.frames;
    return {
        what,
        framesPerSecond: frames / ((after.at - before.at) / 1000),
        intervalMedian: median(intervals),
        intervalP95: percentile(intervals, 0.95),
        mainThreadPerFrame: ((after.task - before.task) * 1000) / frames,
        cpuPerFrame: cpuSpent(before.cpu, after.cpu).all / frames,
        cpuByType: Object.fromEntries(Object.entries(cpuSpent(before.cpu, after.cpu)).map(([type, ms]) => [type, ms / frames])),
    };
}

function loadAverage() {
    return fs.readFileSync('/proc/loadavg', 'latin1').split(' ').slice(0, 3).join(' ');
}

async function main() {
    const loadBefore = loadAverage();
    const files = pageFiles(buildFolder);
    const server = await startServer(buildFolder);
    const chromium = await launchBrowser();
    try {
        const startup = await measureStartup(chromium, server.url);
        const fetched = [...server.served.entries()];

        const game = await GamePage.open(chromium.browser, server.url);
        await game.page.evaluateOnNewDocument(watchPage);
        await game.load();
        await game.waitForStatus(s => s.title, 'the first title frame', 60000);
        await game.waitForPicture(titleMenuProblems, 30000);
        const title = await measureFrames(chromium, game, 'title');
        await game.tapKey('Enter');
        await game.waitForPicture(playProblems, 30000);
        const play = await measureFrames(chromium, game, 'level-1 play');

        const megabytes = bytes => (bytes / 1e6).toFixed(2);
        console.log(`Weight of the page's files in ${buildFolder} (bytes):`);
        for (const { name, bytes } of files)
            console.log(`  ${name.padEnd(24)} ${String(bytes).padStart(10)}`);
        console.log(`  all files ${files.reduce((s, f) => s + f.bytes, 0)} bytes = ${megabytes(files.reduce((s, f) => s + f.bytes, 0))} MB`);
        const fetchedBytes = fetched.reduce((s, [, bytes]) => s + bytes, 0);
        console.log(`  fetched by one load: ${fetched.map(([name]) => name).join(', ')} = ${megabytes(fetchedBytes / startupRuns)} MB a load`);
        console.log(`Start-up to the first title frame over ${startup.length} fresh loads (ms from navigation):`);
        console.log(`  median ${median(startup).toFixed(0)}, fastest ${Math.min(...startup).toFixed(0)}, slowest ${Math.max(...startup).toFixed(0)}; all: ${startup.map(t => t.toFixed(0)).join(' ')}`);
        console.log('Frames (ms per game frame unless said):');
        for (const r of [title, play])
            console.log(`  ${r.what.padEnd(13)} ${r.framesPerSecond.toFixed(1)} frames/s, animation frames ${r.intervalMedian.toFixed(1)} apart (p95 ${r.intervalP95.toFixed(1)}), main thread ${r.mainThreadPerFrame.toFixed(2)}, all Chromium processes' CPU ${r.cpuPerFrame.toFixed(2)} (${Object.entries(r.cpuByType).filter(([type]) => type !== 'all').map(([type, ms]) => `${type} ${ms.toFixed(1)}`).join(', ')})`);
        console.log(`Machine load (1, 5, 15 min): ${loadBefore} before, ${loadAverage()} after; ${os.cpus().length} cores`);
        console.log(`WEBFIGURES weight_bytes=${files.reduce((s, f) => s + f.bytes, 0)} startup_median_ms=${median(startup).toFixed(0)} title_fps=${title.framesPerSecond.toFixed(1)} title_main_ms=${title.mainThreadPerFrame.toFixed(2)} title_cpu_ms=${title.cpuPerFrame.toFixed(2)} play_fps=${play.framesPerSecond.toFixed(1)} play_main_ms=${play.mainThreadPerFrame.toFixed(2)} play_cpu_ms=${play.cpuPerFrame.toFixed(2)}`);
    } finally {
        await chromium.close();
        await server.close();
    }
}

await main();
