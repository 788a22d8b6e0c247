// Compares two result files of tools/libm_probe/libm_probe.cpp (native and emscripten) function by function: how
// many double results differ, by how many units in the last place at most, and how many still differ once
// rounded to float, which is what the game keeps of most of them.
//   node tests/web/compare-libm.mjs NATIVE.bin WEB.bin
import fs from 'node:fs';

// In the order the probe writes its blocks.
const PROBED = ['sin', 'cos', 'acos', 'atan2', 'exp', 'fmod', 'sqrtf', 'sqrt', 'rotate'];

function asDoubles(file) {
    const bytes = fs.readFileSync(file);
    return new Float64Array(bytes.buffer, bytes.byteOffset, bytes.length / 8);
}

// Distance in representable doubles between two finite doubles of the same sign.
function ulpsApart(a, b) {
    const view = new DataView(new ArrayBuffer(16));
    view.setFloat64(0, a);
    view.setFloat64(8, b);
    return Number(view.getBigInt64(0) - view.getBigInt64(8) < 0n ? view.getBigInt64(8) - view.getBigInt64(0) : view.getBigInt64(0) - view.getBigInt64(8));
}

const [nativeFile, webFile] = process.argv.slice(2);
const native = asDoubles(nativeFile), web = asDoubles(webFile);
if (native.length !== web.length || native.length % PROBED.length !== 0) {
    console.error(`${nativeFile} and ${webFile} do not hold the same probe's results`);
    process.exit(2);
}
const perFunction = native.length / PROBED.length;
console.log('  function  differ (of 1e6)  most ULPs apart  differ as float');
PROBED.forEach((name, block) => {
    let differ = 0, asFloat = 0, most = 0;
    for (let i = block * perFunction; i < (block + 1) * perFunction; ++i) {
        if (Object.is(native[i], web[i])) continue;
        ++differ;
        most = Math.max(most, ulpsApart(native[i], web[i]));
        if (Math.fround(native[i]) !== Math.fround(web[i])) ++asFloat;
    }
    console.log(`  ${name.padEnd(8)}  ${String(differ).padStart(14)}  ${String(most).padStart(15)}  ${String(asFloat).padStart(15)}`);
});
