"use strict";
// Random designs as a design run makes them: for every design pipe, roughness, then diameter,
// then status (the program's decoding rule: a "no pipe" option writes diameter 0.01 and
// closes the pipe; an invalid gene writes roughness 10 and diameter 100 and leaves the status).
const fs = require("fs");
const { makeRng } = require("./rng");

const EN_DIAMETER = 0;
const EN_ROUGHNESS = 2;
const EN_INITSTATUS = 4;

const INCH_MM = 25.4;
// Published catalogues of the two design benchmarks, in inches.
const CATALOGUES = {
    TLN: [1, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24],
    HAN: [12, 16, 20, 24, 30, 40],
};
const ROUGHNESS = {
    0: [90, 100, 110, 120, 130, 140], // Hazen-Williams C
    1: [0.005, 0.01, 0.05, 0.1, 0.5, 1.5], // Darcy-Weisbach roughness (mm or millifeet)
    2: [0.01, 0.011, 0.012, 0.013, 0.015], // Chezy-Manning n
};
const SCALES = [0.5, 0.75, 1, 1.25, 1.5, 2];

// Six significant digits: a float holds them exactly enough that both sides set the same value.
const round6 = (v) => Number(v.toPrecision(6));

// net: { name, siUnits, headloss, pipes: [{index, diameter}] } (pipes include check-valve pipes)
function makeDesigns(net, count, seed, opts = {}) {
    const rng = makeRng(seed);
    const fraction = opts.fraction ?? (CATALOGUES[net.name] ? 1 : 0.3);
    const pClose = opts.pClose ?? Math.min(0.03, 0.5 / Math.max(1, net.pipes.length * fraction));
    const pInvalid = opts.pInvalid ?? 0.02;
    // Check-valve pipes are always designed: their status cannot be set (EPANET refuses with 207).
    const design = net.pipes.filter((p) => p.type === 0 || fraction >= 1 || rng.chance(fraction));
    const catalogue = CATALOGUES[net.name] && net.siUnits ? CATALOGUES[net.name].map((d) => round6(d * INCH_MM)) : null;
    const roughness = ROUGHNESS[net.headloss] ?? ROUGHNESS[0];
    const designs = [{ k: 0, sets: [] }];
    // Each design leans towards small or large options, so that both feasible designs and
    // designs with negative pressures occur.
    const near = (list, centre) => list[Math.max(0, Math.min(list.length - 1, Math.round(centre * (list.length - 1)) + rng.below(5) - 2))];
    for (let k = 1; k <= count; k++) {
        const sets = [];
        const centre = rng.next();
        for (const pipe of design) {
            if (rng.chance(pInvalid)) {
                sets.push([pipe.index, EN_ROUGHNESS, 10], [pipe.index, EN_DIAMETER, 100]);
                continue;
            }
            sets.push([pipe.index, EN_ROUGHNESS, rng.pick(roughness)]);
            if (rng.chance(pClose)) {
                sets.push([pipe.index, EN_DIAMETER, 0.01], [pipe.index, EN_INITSTATUS, 0]);
                continue;
            }
            const d = catalogue ? near(catalogue, centre) : round6(pipe.diameter * near(SCALES, centre));
            sets.push([pipe.index, EN_DIAMETER, d], [pipe.index, EN_INITSTATUS, 1]);
        }
        designs.push({ k, sets });
    }
    return { designPipes: design.map((p) => p.index), designs };
}

function writeDesigns(file, designs) {
    const parts = ["kvepa2-designs 1\n"];
    for (const d of designs) {
        parts.push(`design ${d.k} ${d.sets.length}\n`);
        for (const [i, code, v] of d.sets) parts.push(`${i} ${code} ${v}\n`);
    }
    fs.writeFileSync(file, parts.join(""));
}

module.exports = { makeDesigns, writeDesigns, EN_DIAMETER, EN_ROUGHNESS, EN_INITSTATUS };
