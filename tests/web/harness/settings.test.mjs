import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { readHiscores, settingsText } from './settings.mjs';

const records = [...Array(10).keys()].map(i => ({ name: `P${i}`, brag: i === 0 ? 'HI THERE' : '', score: 1000 - 100 * i }));

describe('the settings file the tests prepare', () => {
    test('has the 167 CR LF lines of the game, sections in order', () => {
        const lines = settingsText({ records }).split('\r\n');
        assert.equal(lines.pop(), '', 'the last line ends with CR LF too');
        assert.equal(lines.length, 167);
        assert.deepEqual([lines[0], lines[2], lines[5], lines[156], lines[158]], ['[Grid]', '[Sound]', '[Hiscore]', '[Input]', '[JoyPad]']);
        assert.equal(lines[157], '0', 'keys and mouse');
        assert.deepEqual(lines.slice(6, 9), ['P0', 'HI THERE', '1000']);
    });

    test('reads back as the records it was made of, a negative score included', () => {
        const table = records.map((record, i) => (i === 9 ? { ...record, score: -1 } : record));
        assert.deepEqual(readHiscores(settingsText({ records: table })), table.map(({ name, brag, score }) => ({ name, brag, score })));
    });

    test('refuses a table that is not ten records', () => {
        assert.throws(() => settingsText({ records: records.slice(1) }));
    });
});

describe('reading a file the game wrote', () => {
    const good = settingsText({ records });

    test('refuses LF line ends, a missing line and a moved section', () => {
        assert.equal(readHiscores(good.replaceAll('\r\n', '\n')), null);
        assert.equal(readHiscores(good.replace('P3\r\n', '')), null);
        assert.equal(readHiscores(good.replace('[Input]', '[input]')), null);
        assert.equal(readHiscores(''), null);
        assert.equal(readHiscores(null), null);
    });
});
