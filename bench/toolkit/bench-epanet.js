#!/usr/bin/env node
"use strict";
// The same evaluation loop as kvepa2-bench, on the real EPANET (epanet-js), calling its
// WebAssembly functions directly; prints one table with our figures from kvepa2-bench's JSON.
//
//   node bench-epanet.js --networks DIR [--ours kvepa2-bench.json] [--seconds 1]
const fs = require("fs");
const path = require("path");

const NETWORKS = ["TLN", "HAN", "ky4", "Net1", "Net2", "Net3"];
const CATALOGUES = { TLN: [1, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24], HAN: [12, 16, 20, 24, 30, 40] };
const EN = { NODECOUNT: 0, LINKCOUNT: 2, DIAMETER: 0, ROUGHNESS: 2, INITSTATUS: 4, VELOCITY: 9, DEMAND: 9, PRESSURE: 11 };

function rng(seed) {
    let a = seed >>> 0;
    return (n) => {
        a = (a + 0x6d2b79f5) | 0;
        let t = Math.imul(a ^ (a >>> 15), 1 | a);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return Math.floor((((t ^ (t >>> 14)) >>> 0) / 4294967296) * n);
    };
}

function optionsFor(name, diameter, roughness) {
    const f = Math.fround;
    if (CATALOGUES[name]) return CATALOGUES[name].map((d) => [f(d * f(25.4)), 130]);
    return [0.75, 1, 1.25, 1.5].map((s) => [f(f(diameter) * f(s)), f(roughness)]);
}

async function timeNetwork(ws, Project, file, initFlag, seconds) {
    const p = new Project(ws);
    const name = path.basename(file, ".inp");
    ws.writeFile(`${name}.inp`, fs.readFileSync(file));
    p.open(`${name}.inp`, `${name}.rpt`, "");
    const M = p._EN;
    const h = p._projectHandle;
    const junctions = [];
    const reservoirs = [];
    const pipes = [];
    for (let i = 1; i <= p.getCount(EN.NODECOUNT); i++) {
        const t = p.getNodeType(i);
        if (t === 0) junctions.push(i);
        else if (t === 1) reservoirs.push(i);
    }
    for (let j = 1; j <= p.getCount(EN.LINKCOUNT); j++)
        if (p.getLinkType(j) === 1) pipes.push([j, optionsFor(name, p.getLinkValue(j, EN.DIAMETER), p.getLinkValue(j, EN.ROUGHNESS))]);
    p.openH();
    const draw = rng(12345);
    const ptr = M._malloc(8);
    let steps = 0;
    let evaluations = 0;
    const evaluate = () => {
        evaluations++;
        for (const [j, options] of pipes) {
            const [d, r] = options[draw(options.length)];
            M._EN_setlinkvalue(h, j, EN.ROUGHNESS, r);
            M._EN_setlinkvalue(h, j, EN.DIAMETER, d);
            M._EN_setlinkvalue(h, j, EN.INITSTATUS, 1);
        }
        M._EN_initH(h, initFlag);
        do {
            M._EN_runH(h, ptr);
            for (const i of junctions) M._EN_getnodevalue(h, i, EN.PRESSURE, ptr);
            for (const [j] of pipes) M._EN_getlinkvalue(h, j, EN.VELOCITY, ptr);
            for (const i of reservoirs) M._EN_getnodevalue(h, i, EN.DEMAND, ptr);
            M._EN_nextH(h, ptr);
            steps++;
        } while (M.getValue(ptr, "i32") > 0);
    };
    // CPU time, as kvepa2-bench's figures are read: on a shared machine wall time mostly measures
    // the other processes.
    const run = (limitNs) => {
        const start = process.hrtime.bigint();
        const cpu = process.cpuUsage();
        let n = 0;
        while (n < 10 || process.hrtime.bigint() - start < limitNs) {
            evaluate();
            n++;
        }
        const used = process.cpuUsage(cpu);
        return (used.user + used.system) / n;
    };
    run(BigInt(Math.round(seconds * 2e8))); // warm up the JIT
    // The median of five samples: a single one wanders by a tenth on a busy machine.
    const samples = [];
    for (let k = 0; k < 5; k++) samples.push(run(BigInt(Math.round(seconds * 2e8))));
    samples.sort((a, b) => a - b);
    const us = samples[2];
    M._free(ptr);
    p.closeH();
    p.close();
    return { us, steps: steps / evaluations };
}

function oursFrom(file) {
    const out = {};
    if (!file) return out;
    // Repeated runs report their median as NAME_median; a single run as NAME.
    // Aggregates of a counter that never varies come out as a bare NaN, which JSON lacks.
    const text = fs.readFileSync(file, "utf8").replace(/:\s*-?nan\b/gi, ": null");
    for (const b of JSON.parse(text).benchmarks) {
        if (b.run_type === "aggregate" && b.aggregate_name !== "median") continue;
        const name = b.run_type === "aggregate" ? b.run_name : b.name;
        if (b.error_occurred) out[name] = { us: NaN, steps: NaN };
        else out[name] = { us: b.cpu_time * { us: 1, ns: 1e-3, ms: 1e3, s: 1e6 }[b.time_unit], steps: b.steps };
    }
    return out;
}

async function main() {
    const args = { seconds: 1 };
    for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
    const epanetJs = path.join(__dirname, "../../hydraulics/toolkit/tests/oracle/node_modules/epanet-js");
    const { Workspace, Project } = require(epanetJs);
    const ws = new Workspace();
    await ws.loadModule();
    const ours = oursFrom(args.ours);
    const fmt = (v) => (Number.isFinite(v) ? v.toFixed(1) : "-").padStart(12);
    console.log(`EPANET ${ws.version} (epanet-js); CPU microseconds per evaluation`);
    const cols = ["ours init1", "ours init0", "js init0", "js init10", "ours1/js0", "steps ours", "steps js"];
    console.log(`${"network".padEnd(8)}${cols.map((c) => c.padStart(12)).join("")}`);
    for (const net of NETWORKS) {
        const file = path.join(args.networks, `${net}.inp`);
        const js0 = await timeNetwork(ws, Project, file, 0, Number(args.seconds));
        const js10 = await timeNetwork(ws, Project, file, 10, Number(args.seconds));
        const o1 = ours[`${net}/initH1`] ?? { us: NaN, steps: NaN };
        const o0 = ours[`${net}/initH0`] ?? { us: NaN, steps: NaN };
        const ratio = Number.isFinite(o1.us) ? (o1.us / js0.us).toFixed(2) : "-";
        console.log(`${net.padEnd(8)}${[o1.us, o0.us, js0.us, js10.us].map(fmt).join("")}${ratio.padStart(12)}${fmt(o1.steps)}${fmt(js0.steps)}`);
    }
}

main().catch((e) => {
    console.error(`bench-epanet: ${e.message}`);
    process.exit(1);
});
