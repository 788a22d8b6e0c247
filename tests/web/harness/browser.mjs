// The browser side of the web tests: a static server for the built page on 127.0.0.1 that counts what it
// serves, Debian's Chromium started headless with software WebGL through puppeteer-core, and the page
// operations the cases are written in (pictures of the canvas, waiting on conditions with a time limit,
// the console's errors, a settings file placed in IndexedDB before the game reads it).
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import { decodePng } from './png.mjs';

export const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_ARGS = [
    '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic', '--no-first-run',
];

const CONTENT_TYPES = {
    '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.css': 'text/css', '.png': 'image/png', '.ico': 'image/x-icon', '.json': 'application/json',
};

// An empty page of the game's origin, for touching its storage while no game runs.
export const BLANK_PATH = '/__blank.html';

// Serves the folder on a free port; `served` maps each path asked for to all the bytes sent for it.
export async function startServer(folder) {
    const served = new Map();
    const server = http.createServer((request, response) => {
        const urlPath = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
        if (urlPath === BLANK_PATH) {
            response.writeHead(200, { 'Content-Type': 'text/html', 'Cache-Control': 'no-store' });
            response.end('<!doctype html><title>blank</title>');
            return;
        }
        const file = path.join(folder, path.normalize(urlPath === '/' ? '/index.html' : urlPath));
        if (!file.startsWith(path.resolve(folder)) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404, { 'Content-Type': 'text/plain' });
            response.end('not found');
            return;
        }
        const body = fs.readFileSync(file);
        served.set(urlPath, (served.get(urlPath) || 0) + body.length);
        response.writeHead(200, {
            'Content-Type': CONTENT_TYPES[path.extname(file)] || 'application/octet-stream',
            'Content-Length': body.length, 'Cache-Control': 'no-store',
        });
        response.end(body);
    });
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    return { url: `http://127.0.0.1:${server.address().port}/`, served, close: () => new Promise(r => server.close(r)) };
}

export async function launchBrowser() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvanor-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: CHROMIUM, headless: true, args: CHROMIUM_ARGS, userDataDir: profile,
        defaultViewport: { width: 800, height: 600, deviceScaleFactor: 1 }, protocolTimeout: 120000,
    });
    return {
        browser,
        async close() {
            await browser.close().catch(() => {});
            fs.rmSync(profile, { recursive: true, force: true });
        },
    };
}

export class TimeoutError extends Error {}

// Polls until check() gives a truthy value and returns it; after the limit throws with what describe()
// says about the last state seen.
export async function waitUntil(check, { limitMs, everyMs = 100, describe = () => '' }) {
    const start = Date.now();
    for (;;) {
        const result = await check();
        if (result) return result;
        if (Date.now() - start > limitMs) throw new TimeoutError(`after ${(limitMs / 1000).toFixed(0)} s: ${await describe()}`);
        await new Promise(resolve => setTimeout(resolve, everyMs));
    }
}

// One browser tab with the game, and what the cases need from it.
export class GamePage {
    constructor(page, url) {
        this.page = page;
        this.url = url;
        this.errors = [];
        this.lastPicture = null;
        this.lastDecoded = null;
        page.on('console', message => {
            if (message.type() === 'error') this.errors.push(`console: ${message.text()}`);
        });
        page.on('pageerror', error => this.errors.push(`uncaught: ${error.message}`));
        page.on('requestfailed', request => this.errors.push(`request failed: ${request.url()} ${request.failure()?.errorText}`));
        page.on('response', response => {
            if (response.status() >= 400) this.errors.push(`HTTP ${response.status()}: ${response.url()}`);
        });
    }

    static async open(browserOrContext, url) {
        return new GamePage(await browserOrContext.newPage(), url);
    }

    // A tab behind another gets no animation frames: the page loaded comes to the front.
    async load() {
        await this.page.bringToFront();
        await this.page.goto(this.url, { waitUntil: 'load', timeout: 60000 });
    }

    status() {
        return this.page.evaluate(() => (window.kelvanorStatus ? { ...window.kelvanorStatus } : null));
    }

    async waitForStatus(test, what, limitMs) {
        let last = null;
        return waitUntil(async () => test((last = await this.status()) || {}) && last, {
            limitMs, describe: () => `waiting for ${what}; kelvanorStatus is ${JSON.stringify(last)}`,
        });
    }

    // The canvas as the player sees it, decoded.
    async picture() {
        const box = await this.page.$eval('#screen', canvas => {
            const rect = canvas.getBoundingClientRect();
            return { x: rect.left, y: rect.top, width: rect.width, height: rect.height };
        });
        const png = await this.page.screenshot({ clip: box, type: 'png', captureBeyondViewport: false });
        this.lastPicture = Buffer.from(png);
        this.lastDecoded = decodePng(png);
        return this.lastDecoded;
    }

    // Takes pictures until problemsOf(picture) is empty; throws with the last problems otherwise.
    async waitForPicture(problemsOf, limitMs) {
        let problems = [];
        return waitUntil(async () => {
            const picture = await this.picture();
            problems = problemsOf(picture);
            return problems.length === 0 && picture;
        }, { limitMs, everyMs: 50, describe: () => problems.join('; ') });
    }

    async tapKey(key) {
        await this.page.keyboard.press(key, { delay: 50 });
    }

    // Game frames counted by the page; used to wait for the game rather than for the clock.
    async framesPassed(count, limitMs = 20000) {
        const start = (await this.status()).frames;
        await this.waitForStatus(s => s.frames >= start + count, `${count} more frames`, limitMs);
    }

    // The working directory the game's files live in (the IndexedDB file system's mount).
    workingDirectory() {
        return this.page.evaluate(() => window.Module.FS.cwd());
    }

    readGameFile(name) {
        return this.page.evaluate(fileName => {
            try {
                return Array.from(window.Module.FS.readFile(fileName));
            } catch (error) {
                return null;
            }
        }, name).then(bytes => bytes && Buffer.from(bytes).toString('latin1'));
    }

    async saveDiagnosis(folder, name) {
        if (!this.lastPicture) return null;
        fs.mkdirSync(folder, { recursive: true });
        const file = path.join(folder, `${name.replace(/[^a-z0-9]+/gi, '-').toLowerCase()}.png`);
        fs.writeFileSync(file, this.lastPicture);
        return file;
    }
}

// Writes a file into the game's IndexedDB file system from a page of the origin on which no game runs, in
// the form the file system keeps (one record per path under its mount, in the "FILE_DATA" store of the
// database named after the mount), so that the game finds it at its next start.
export async function placeFileInGameStorage(context, origin, mount, name, text) {
    const page = await context.newPage();
    try {
        await page.goto(new URL(BLANK_PATH, origin).href, { waitUntil: 'load' });
        await page.evaluate((mountPath, fileName, bytes) => new Promise((resolve, reject) => {
            const request = indexedDB.open(mountPath, 21);
            request.onupgradeneeded = () => {
                const store = request.result.createObjectStore('FILE_DATA');
                store.createIndex('timestamp', 'timestamp', { unique: false });
            };
            request.onerror = () => reject(new Error(`IndexedDB ${mountPath}: ${request.error}`));
            request.onsuccess = () => {
                const db = request.result;
                const transaction = db.transaction(['FILE_DATA'], 'readwrite');
                const store = transaction.objectStore('FILE_DATA');
                const now = new Date();
                store.put({ timestamp: now, mode: 0o40777 }, mountPath);
                store.put({ timestamp: now, mode: 0o100666, contents: new Uint8Array(bytes) }, `${mountPath}/${fileName}`);
                transaction.oncomplete = () => {
                    db.close();
                    resolve();
                };
                transaction.onerror = () => reject(new Error(`IndexedDB write: ${transaction.error}`));
            };
        }), mount, name, Array.from(Buffer.from(text, 'latin1')));
    } finally {
        await page.close();
    }
}
