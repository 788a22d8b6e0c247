// The game's "config.ini" as the tests write and read it: sections in the order the game writes them,
// CR LF line ends, ten hiscore records of fifteen lines (name, brag text, score, ten kill counts, shots
// fired, shots hit).

export const KEYS_AND_MOUSE = 0;

export function settingsText({ grid = 1, music = 4, effects = 4, controlMode = KEYS_AND_MOUSE, records }) {
    if (records.length !== 10) throw new Error('the hiscore table has ten records');
    const lines = ['[Grid]', grid, '[Sound]', music, effects, '[Hiscore]'];
    for (const { name, brag = '', score } of records)
        lines.push(name, brag, score, ...Array(10).fill(0), 0, 0);
    lines.push('[Input]', controlMode, '[JoyPad]', ...Array(8).fill(0));
    return lines.map(line => `${line}\r\n`).join('');
}

// The hiscore records of a file the game wrote, in file order; null when the file is not in the form the
// game writes (167 lines, each ended by CR LF, the sections in their places).
export function readHiscores(text) {
    if (!text || !text.endsWith('\r\n')) return null;
    const lines = text.slice(0, -2).split('\r\n');
    if (lines.length !== 167 || lines.some(line => line.includes('\n') || line.includes('\r'))) return null;
    if (lines[0] !== '[Grid]' || lines[2] !== '[Sound]' || lines[5] !== '[Hiscore]' || lines[156] !== '[Input]'
        || lines[158] !== '[JoyPad]')
        return null;
    const records = [];
    for (let i = 0; i < 10; ++i) {
        const at = 6 + 15 * i;
        records.push({ name: lines[at], brag: lines[at + 1], score: Number(lines[at + 2]) });
    }
    return records;
}
