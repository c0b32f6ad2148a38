"use strict";
// Designs must be the same on every run for a seed, and made as the program's decoding makes them.
const test = require("node:test");
const assert = require("node:assert");
const { makeDesigns, EN_DIAMETER, EN_ROUGHNESS, EN_INITSTATUS } = require("../lib/designs");
const { seedFrom } = require("../lib/rng");

const pipes = Array.from({ length: 40 }, (_, i) => ({ index: i + 2, type: i === 5 ? 0 : 1, diameter: 100 + i }));
const net = (name) => ({ name, siUnits: true, headloss: 0, pipes });

test("a seed gives the same designs every time, another seed others", () => {
    const a = makeDesigns(net("X"), 30, seedFrom("X", 1));
    assert.deepStrictEqual(makeDesigns(net("X"), 30, seedFrom("X", 1)), a);
    assert.notDeepStrictEqual(makeDesigns(net("X"), 30, seedFrom("X", 2)).designs, a.designs);
    assert.notStrictEqual(seedFrom("TLN", 1), seedFrom("HAN", 1));
});

test("design 0 is the base model; every other design sets its pipes in the program's order", () => {
    const { designs, designPipes } = makeDesigns(net("X"), 200, 7, { pClose: 0.1, pInvalid: 0.1 });
    assert.deepStrictEqual(designs[0], { k: 0, sets: [] });
    assert.ok(designPipes.includes(7), "check-valve pipes are always designed");
    let closed = 0;
    let invalid = 0;
    for (const d of designs.slice(1)) {
        const seen = [];
        for (let i = 0; i < d.sets.length; ) {
            const [index, code, value] = d.sets[i];
            assert.strictEqual(code, EN_ROUGHNESS);
            seen.push(index);
            if (value === 10 && d.sets[i + 1][1] === EN_DIAMETER && d.sets[i + 1][2] === 100 && (i + 2 >= d.sets.length || d.sets[i + 2][1] === EN_ROUGHNESS)) {
                invalid++; // an invalid gene leaves the status alone
                i += 2;
                continue;
            }
            const [[i2, c2, diameter], [i3, c3, status]] = [d.sets[i + 1], d.sets[i + 2]];
            assert.deepStrictEqual([i2, c2, i3, c3], [index, EN_DIAMETER, index, EN_INITSTATUS]);
            if (status === 0) {
                closed++;
                assert.strictEqual(diameter, 0.01); // a "no pipe" option
            } else {
                assert.strictEqual(status, 1);
                assert.ok(diameter >= 50 && diameter <= 2 * 139);
            }
            i += 3;
        }
        assert.deepStrictEqual(seen, designPipes);
    }
    assert.ok(closed > 0 && invalid > 0);
});

test("the published catalogues are used for the two design benchmarks", () => {
    const { designs } = makeDesigns(net("HAN"), 20, 3, { pClose: 0, pInvalid: 0 });
    const diameters = new Set(designs.flatMap((d) => d.sets.filter((s) => s[1] === EN_DIAMETER).map((s) => s[2])));
    for (const d of diameters) assert.ok([12, 16, 20, 24, 30, 40].some((inch) => Math.abs(d - inch * 25.4) < 1e-3), `${d} mm`);
});
