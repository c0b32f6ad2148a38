#!/usr/bin/env node
"use strict";
// Writes a random network of one of the shapes real systems take, for agreement probes on
// networks the oracle tests have not seen (mutate.js varies existing networks instead):
//   grid   three identical pumps in parallel into a looped grid with two tanks, level and clock
//          controls (all pumps off at night); GPM, Hazen-Williams
//   towns  two pump stations under rules (AND, OR, clock times, a speed-patterned pump), three
//          tanks in three zones, a PRV and a TCV; CMH
//   zones  four zones in series, each a tank filled by its own pumps under level controls, a GPV
//          and an FCV between zones (a PBV too with --pbv), emitters, two demand categories; any
//          unit system, H-W or D-W, sometimes PDA
//
//   node families.js grid|towns|zones SEED OUT.inp [--pbv]
//   then: node oracle.js --network OUT.inp --dump kvepa2-dump --work DIR --designs 6
const fs = require("fs");
const { makeRng } = require("./lib/rng");

function grid(rng) {
    const J = [];
    const P = [];
    const pipe = (a, b, l, d, c = rng.pick([100, 110, 120, 130])) => P.push([`P${P.length + 1}`, a, b, l, d, c]);
    for (let r = 0; r < 4; r++) for (let c = 0; c < 5; c++) J.push([`N${r}${c}`, 20 + rng.below(31), rng.pick([0, 50, 100, 150, 200, 300])]);
    for (let r = 0; r < 4; r++)
        for (let c = 0; c < 5; c++) {
            if (c < 4) pipe(`N${r}${c}`, `N${r}${c + 1}`, rng.pick([6000, 9000, 12000]), rng.pick([8, 10, 12, 16]));
            if (r < 3) pipe(`N${r}${c}`, `N${r + 1}${c}`, rng.pick([6000, 9000, 12000]), rng.pick([8, 10, 12, 16]));
        }
    pipe("PS", "N00", 100, 30, 120);
    pipe("N34", "T1", 1000, 12, 120);
    pipe("N04", "T2", 1000, 12, 120);
    return [
        "[TITLE]\nGrid fed by three pumps in parallel\n\n[JUNCTIONS]\nPS\t10\t0",
        ...J.map(([n, e, d]) => `${n}\t${e}\t${d}\tDAY`),
        "\n[RESERVOIRS]\nSRC\t10\n\n[TANKS]\nT1\t215\t10\t5\t35\t50\t0\nT2\t215\t15\t5\t35\t40\t0\n\n[PIPES]",
        ...P.map((p) => `${p.join("\t")}\t0\tOPEN`),
        "\n[PUMPS]\nPU1\tSRC\tPS\tHEAD PC\nPU2\tSRC\tPS\tHEAD PC\nPU3\tSRC\tPS\tHEAD PC",
        "\n[CURVES]\nPC\t0\t300\nPC\t2000\t292\nPC\t4000\t270\nPC\t6000\t230\nPC\t8000\t181",
        "\n[PATTERNS]\nDAY\t0.7 0.6 0.6 0.6 0.7 0.9 1.1 1.3 1.3 1.2 1.2 1.1\nDAY\t1.0 1.0 1.1 1.2 1.3 1.4 1.4 1.2 1.0 0.9 0.8 0.7",
        "\n[STATUS]\nPU3\tCLOSED\n\n[CONTROLS]",
        "LINK PU2 CLOSED IF NODE T1 ABOVE 30\nLINK PU2 OPEN IF NODE T1 BELOW 12",
        "LINK PU3 OPEN AT CLOCKTIME 6 AM\nLINK PU3 CLOSED AT CLOCKTIME 10 PM",
        "LINK PU1 CLOSED IF NODE T2 ABOVE 33\nLINK PU1 OPEN IF NODE T2 BELOW 10",
        "\n[TIMES]\nDuration\t48:00\nHydraulic Timestep\t1:00\nPattern Timestep\t1:00\n",
        "[OPTIONS]\nUnits\tGPM\nHeadloss\tH-W\nAccuracy\t0.001\nTrials\t100\n\n[END]",
    ].join("\n");
}

function towns(rng) {
    const N = [];
    const P = [];
    const J = (n, e, d = 0, pat = "") => N.push([n, e, d, pat]);
    const L = (n, a, b, l, d, st = "OPEN") => P.push([n, a, b, l, d, rng.pick([100, 110, 120, 130]), st]);
    for (let i = 0; i < 8; i++) J(`A${i}`, 20 + rng.below(26), rng.pick([0, 5, 10, 15, 20]), rng.pick(["RES", "COM"]));
    for (let i = 0; i < 6; i++) J(`B${i}`, 60 + rng.below(21), rng.pick([0, 5, 8, 12]), rng.pick(["RES", "COM"]));
    for (let i = 0; i < 5; i++) J(`C${i}`, rng.below(11), rng.pick([2, 5, 8]), "RES");
    for (const [n, e] of [["S1s", 10], ["S1d", 10], ["S2s", 40], ["S2d", 40], ["PR1", 30], ["PR2", 30], ["TC1", 35], ["TC2", 35]]) J(n, e);
    L("SRCP", "SRC", "S1s", 50, 600);
    L("S1o", "S1d", "A0", 500, 500, rng.chance(0.5) ? "CV" : "OPEN");
    for (let i = 0; i < 8; i++) L(`LA${i}`, `A${i}`, `A${(i + 1) % 8}`, rng.pick([400, 800, 1200]), rng.pick([200, 250, 300, 400]));
    L("LA8", "A1", "A5", 900, 200);
    L("LA9", "A3", "A7", 900, 200);
    L("TAl", "A4", "TA", 300, 400);
    L("S2i", "A2", "S2s", 100, 300);
    L("S2o", "S2d", "B0", 400, 300);
    for (let i = 0; i < 5; i++) L(`LB${i}`, `B${i}`, `B${i + 1}`, rng.pick([300, 600, 900]), rng.pick([150, 200, 250]));
    L("LB5", "B5", "B0", 700, 150);
    L("TBl", "B3", "TB", 200, 250);
    L("PRa", "A6", "PR1", 50, 250);
    L("PRb", "PR2", "C0", 200, 250);
    for (let i = 0; i < 4; i++) L(`LC${i}`, `C${i}`, `C${i + 1}`, rng.pick([300, 500]), rng.pick([100, 150, 200]));
    L("LC4", "C4", "C1", 600, 100);
    L("TCa", "C2", "TC1", 50, 150);
    L("TCb", "TC2", "TC", 100, 150);
    const hA = rng.pick([70, 75, 80]);
    const [lo, hi] = rng.pick([[1.5, 5.0], [2, 5.5], [1, 4.5]]);
    return [
        "[TITLE]\nTwo pump stations under rules, three zones\n\n[JUNCTIONS]",
        ...N.map(([n, e, d, p]) => `${n}\t${e}\t${d}\t${d ? p : ""}`),
        "\n[RESERVOIRS]\nSRC\t12\n\n[TANKS]",
        `TA\t65\t${rng.pick([2, 3, 4])}\t0.5\t6\t${rng.pick([20, 25, 30])}\t0`,
        `TB\t105\t${rng.pick([2, 3])}\t0.5\t5\t${rng.pick([12, 15])}\t0`,
        `TC\t40\t${rng.pick([1, 2])}\t0.2\t4\t${rng.pick([8, 10])}\t0`,
        "\n[PIPES]",
        ...P.map((p) => `${p.slice(0, 6).join("\t")}\t0\t${p[6]}`),
        "\n[PUMPS]\nPU10\tS1s\tS1d\tHEAD C1\nPU11\tS1s\tS1d\tHEAD C1\nPU12\tS1s\tS1d\tHEAD C1",
        "PU20\tS2s\tS2d\tHEAD C2\nPU21\tS2s\tS2d\tHEAD C2\tPATTERN SPD",
        `\n[VALVES]\nPRV1\tPR1\tPR2\t250\tPRV\t${rng.pick([25, 30, 35])}\t0\nTCV1\tTC1\tTC2\t150\tTCV\t${rng.pick([5, 10, 20])}\t0`,
        `\n[CURVES]\nC1\t0\t${hA + 15}\nC1\t300\t${hA}\nC1\t600\t${hA - 20}\nC2\t150\t${rng.pick([50, 55, 60])}`,
        "\n[PATTERNS]\nRES\t0.6 0.5 0.5 0.6 0.8 1.2 1.5 1.4 1.1 1.0 0.9 1.0\nRES\t1.1 1.0 0.9 0.9 1.0 1.2 1.4 1.5 1.3 1.0 0.8 0.7",
        "COM\t0.2 0.2 0.2 0.3 0.6 1.2 1.6 1.6 1.5 1.5 1.5 1.4\nCOM\t1.5 1.5 1.4 1.2 0.8 0.5 0.3 0.2 0.2 0.2 0.2 0.2",
        "SPD\t0.8 0.8 0.9 1.0 1.0 1.1 1.0 0.9",
        "\n[STATUS]\nPU12\tCLOSED\nPU21\tCLOSED\n\n[RULES]",
        `RULE 1\nIF TANK TA LEVEL BELOW ${lo}\nTHEN PUMP PU11 STATUS IS OPEN\nPRIORITY 2\n`,
        `RULE 2\nIF TANK TA LEVEL ABOVE ${hi}\nTHEN PUMP PU11 STATUS IS CLOSED\nPRIORITY 2\n`,
        `RULE 3\nIF TANK TA LEVEL BELOW ${lo - 0.3}\nAND SYSTEM CLOCKTIME >= 6:00 AM\nAND SYSTEM CLOCKTIME < 10:00 PM\nTHEN PUMP PU12 STATUS IS OPEN\nELSE PUMP PU12 STATUS IS CLOSED\nPRIORITY 1\n`,
        "RULE 4\nIF TANK TB LEVEL BELOW 1.5\nOR TANK TB LEVEL BELOW 2\nAND SYSTEM CLOCKTIME > 5 AM\nTHEN PUMP PU21 STATUS IS OPEN\n",
        "RULE 5\nIF TANK TB LEVEL ABOVE 4.5\nTHEN PUMP PU21 STATUS IS CLOSED\nAND PUMP PU20 SETTING IS 0.9\nELSE PUMP PU20 SETTING IS 1.0\n",
        "RULE 6\nIF TANK TC LEVEL ABOVE 3.5\nTHEN VALVE TCV1 STATUS IS CLOSED\n",
        `RULE 7\nIF TANK TC LEVEL BELOW 1.5\nTHEN VALVE TCV1 SETTING IS ${rng.pick([5, 10])}\n`,
        `RULE 8\nIF SYSTEM CLOCKTIME >= 11 PM\nOR SYSTEM CLOCKTIME < 5 AM\nTHEN VALVE PRV1 SETTING IS ${rng.pick([20, 22])}\nELSE VALVE PRV1 SETTING IS 30\n`,
        `\n[TIMES]\nDuration\t${rng.pick(["48:00", "72:00"])}\nHydraulic Timestep\t${rng.pick(["1:00", "0:15"])}\nPattern Timestep\t1:00`,
        `Rule Timestep\t${rng.pick(["0:05", "0:15", "0:01"])}\nStart ClockTime\t${rng.pick(["0", "5 AM"])}\n`,
        "[OPTIONS]\nUnits\tCMH\nHeadloss\tH-W\nAccuracy\t0.001\nTrials\t200\n\n[END]",
    ].join("\n");
}

function zones(rng, pbv) {
    const units = rng.pick(["CMS", "LPS", "GPM", "MGD", "CMH"]);
    const si = ["CMS", "LPS", "CMH"].includes(units);
    const hl = rng.pick(["H-W", "D-W", "H-W"]);
    const rough = () => (hl === "D-W" ? rng.pick([0.05, 0.1, 0.5]) : rng.pick([100, 120, 140]));
    const len = () => (si ? rng.pick([200, 400, 800]) : rng.pick([600, 1200, 2500]));
    const dia = () => (si ? rng.pick([100, 150, 200, 300]) : rng.pick([4, 6, 8, 12]));
    const qf = { CMS: 0.001, LPS: 1, GPM: 15, MGD: 0.02, CMH: 3.6 }[units];
    const J = [["S0", 5]];
    const P = [["PSRC", "SRC", "S0", 50, dia(), rough()]];
    const PU = [];
    const T = [];
    const C = [];
    const E = [];
    const DM = [];
    let prev = "S0";
    for (let z = 0; z < 4; z++) {
        const base = si ? 10 + z * 15 : 30 + z * 50;
        const nodes = [0, 1, 2, 3, 4].map((i) => `Z${z}N${i}`);
        for (const n of nodes) {
            J.push([n, base + rng.below(9)]);
            if (rng.chance(0.8)) DM.push([n, +(rng.pick([0.5, 1, 2]) * qf).toFixed(4), rng.pick(["RES", "COM"])]);
        }
        nodes.forEach((n, i) => P.push([`Z${z}P${i}`, n, nodes[(i + 1) % 5], len(), dia(), rough()]));
        P.push([`Z${z}PT`, nodes[2], `T${z}`, len(), dia(), rough()]);
        T.push([`T${z}`, base + (si ? 30 : 100), rng.pick([2, 3, 4]), 0.5, rng.pick([5, 6]), si ? rng.pick([8, 10, 15]) : rng.pick([25, 35, 50])]);
        J.push([`Z${z}Ps`, base - 5], [`Z${z}Pd`, base - 5]);
        P.push([`Z${z}Pi`, prev, `Z${z}Ps`, 50, dia(), rough()], [`Z${z}Po`, `Z${z}Pd`, nodes[0], 50, dia(), rough()]);
        const npu = rng.pick([1, 2]);
        for (let k = 0; k < npu; k++) {
            PU.push(`Z${z}U${k}\tZ${z}Ps\tZ${z}Pd\tHEAD PC${z}`);
            const [lo, hi] = rng.pick([[1.5, 4.5], [2, 5], [1, 4]]);
            C.push(`LINK Z${z}U${k} OPEN IF NODE T${z} BELOW ${+(lo + 0.3 * k).toFixed(1)}`);
            C.push(`LINK Z${z}U${k} CLOSED IF NODE T${z} ABOVE ${+(hi - 0.3 * k).toFixed(1)}`);
        }
        prev = nodes[3];
        if (rng.chance(0.5)) E.push([nodes[4], +(rng.pick([0.1, 0.3]) * qf).toFixed(4)]);
    }
    const valves = [];
    const between = (tag, a, b, type, setting) => {
        J.push([`V${tag}1`, 0], [`V${tag}2`, 0]);
        P.push([`V${tag}a`, a, `V${tag}1`, 50, dia(), rough()], [`V${tag}b`, `V${tag}2`, b, 50, dia(), rough()]);
        valves.push(`${type}1\tV${tag}1\tV${tag}2\t${dia()}\t${type}\t${setting}\t0`);
    };
    between("G", "Z0N2", "Z1N4", "GPV", "GC");
    if (pbv) between("B", "Z2N1", "Z3N2", "PBV", rng.pick([2, 5]));
    between("F", "Z1N1", "Z2N3", "FCV", +(qf * rng.pick([1, 2])).toFixed(4));
    const h = si ? 40 : 130;
    const curves = [0, 1, 2, 3].map((z) => `PC${z}\t0\t${(h * 1.3).toFixed(1)}\nPC${z}\t${(qf * 20).toFixed(4)}\t${h}\nPC${z}\t${(qf * 40).toFixed(4)}\t${(h * 0.6).toFixed(1)}`);
    const pda = rng.chance(1 / 3);
    return [
        "[TITLE]\nFour zones in series, each filled by its own pumps\n\n[JUNCTIONS]",
        ...J.map(([n, e]) => `${n}\t${n.startsWith("V") ? (si ? 10 : 30) : e}\t0`),
        `\n[RESERVOIRS]\nSRC\t${si ? 8 : 25}\n\n[TANKS]`,
        ...T.map((t) => `${t.join("\t")}\t0`),
        "\n[PIPES]",
        ...P.map((p) => `${p.join("\t")}\t0\tOPEN`),
        "\n[PUMPS]",
        ...PU,
        "\n[VALVES]",
        ...valves,
        "\n[DEMANDS]",
        ...DM.map((d) => d.join("\t")),
        "\n[EMITTERS]",
        ...E.map((e) => e.join("\t")),
        "\n[CURVES]",
        ...curves,
        `GC\t0\t0\nGC\t${(qf * 10).toFixed(4)}\t${si ? 2 : 6}\nGC\t${(qf * 40).toFixed(4)}\t${si ? 10 : 30}`,
        "\n[PATTERNS]\nRES\t0.6 0.5 0.5 0.6 0.8 1.2 1.5 1.4 1.1 1.0 0.9 1.0 1.1 1.0 0.9 0.9 1.0 1.2 1.4 1.5 1.3 1.0 0.8 0.7",
        "COM\t0.2 0.2 0.2 0.3 0.6 1.2 1.6 1.6 1.5 1.5 1.5 1.4 1.5 1.5 1.4 1.2 0.8 0.5 0.3 0.2 0.2 0.2 0.2 0.2",
        "\n[CONTROLS]",
        ...C,
        `\n[TIMES]\nDuration\t${rng.pick(["48:00", "72:00"])}\nHydraulic Timestep\t${rng.pick(["1:00", "0:30"])}\nPattern Timestep\t1:00`,
        `Report Timestep\t${rng.pick(["1:00", "2:00"])}\nStart ClockTime\t${rng.pick(["0", "6 AM", "11 PM"])}\n`,
        `[OPTIONS]\nUnits\t${units}\nHeadloss\t${hl}\nAccuracy\t0.001\nTrials\t100\nUnbalanced\tContinue 10`,
        pda ? `Demand Model\tPDA\nMinimum Pressure\t0\nRequired Pressure\t${si ? 15 : 40}\nPressure Exponent\t0.5` : "",
        "\n[END]",
    ].join("\n");
}

function main(argv) {
    const [family, seedText, out] = argv;
    const makers = { grid, towns, zones };
    if (!makers[family] || !out) throw new Error("usage: families.js grid|towns|zones SEED OUT.inp [--pbv]");
    const rng = makeRng(Number(seedText));
    fs.writeFileSync(out, makers[family](rng, argv.includes("--pbv")) + "\n");
}

try {
    main(process.argv.slice(2));
} catch (e) {
    console.error(e.message);
    process.exit(1);
}
