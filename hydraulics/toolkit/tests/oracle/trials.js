#!/usr/bin/env node
"use strict";
// Compares the solver's trials with EPANET's, trial by trial: both run the whole period of a
// network asked for a full status report ([REPORT] STATUS FULL), and the reports must show the
// same periods, the same trials with the same relative flow changes (within 1e-5 plus 2e-4 of
// the change: round-off of the six decimals printed and of the solves) and the same status
// switches in the same order. Results that agree can still come from different trials, so
// this is the finer check.
//
//   node trials.js --dump kvepa2-dump --work DIR NETWORK.inp [NETWORK.inp ...]
// Exit codes: 0 all agree, 1 a difference or failure, 77 skipped (epanet-js not installed).
const fs = require("fs");
const path = require("path");
const { spawnSync } = require("child_process");

const SKIP = 77;

function parseArgs(argv) {
    const a = { networks: [] };
    for (let i = 0; i < argv.length; i++) {
        const key = argv[i];
        if (key === "--dump" || key === "--work") {
            if (i + 1 >= argv.length) throw new Error(`${key} needs a value`);
            a[key.slice(2)] = argv[++i];
        } else if (key.startsWith("--")) throw new Error(`unknown argument '${key}'`);
        else a.networks.push(key);
    }
    if (!a.dump || !a.work || !a.networks.length) throw new Error("usage: trials.js --dump kvepa2-dump --work DIR NETWORK.inp ...");
    return a;
}

// The network's text with a full status report asked for (EPANET reads nothing after [END]).
function withFullStatus(text) {
    const lines = text.split(/\r?\n/);
    const out = [];
    let inReport = false;
    let done = false;
    for (const line of lines) {
        const header = /^\s*\[([A-Za-z]+)\]/.exec(line);
        if (header) {
            const name = header[1].toUpperCase();
            if (name === "END" && !done) {
                out.push("[REPORT]", "STATUS FULL");
                done = true;
            }
            inReport = name === "REPORT";
            out.push(line);
            if (inReport && !done) {
                out.push("STATUS FULL");
                done = true;
            }
            continue;
        }
        if (inReport && /^\s*STAT/i.test(line)) continue;
        out.push(line);
    }
    if (!done) out.push("[REPORT]", "STATUS FULL");
    return out.join("\n") + "\n";
}

// Periods of a report: time, then its trials ("T") and status switches ("S") in order.
function parseReport(text) {
    const periods = [];
    let cur = null;
    for (const line of text.split(/\r?\n/)) {
        let m = /^\s*(\d+):(\d\d):(\d\d): Balancing the network/.exec(line);
        if (m) {
            cur = { t: Number(m[1]) * 3600 + Number(m[2]) * 60 + Number(m[3]), items: [] };
            periods.push(cur);
            continue;
        }
        if (!cur) continue;
        m = /^\s*Trial\s+(\d+): relative flow change = (\S+)/.exec(line);
        if (m) {
            cur.items.push({ kind: "T", n: Number(m[1]), v: Number(m[2]), text: line.trim() });
            continue;
        }
        m = /^\s*(\S+ \S+ switched from .*)$/.exec(line);
        if (m) cur.items.push({ kind: "S", text: m[1].trim() });
        else if (/: (Balanced|Unbalanced) after/.test(line)) cur = null;
    }
    return periods;
}

const clock = (t) => `${Math.floor(t / 3600)}:${String(Math.floor(t / 60) % 60).padStart(2, "0")}:${String(t % 60).padStart(2, "0")}`;

// The first difference between two reports' periods, or null.
function firstDifference(ref, ours) {
    for (let p = 0; p < Math.max(ref.length, ours.length); p++) {
        const a = ref[p];
        const b = ours[p];
        if (!a || !b) return `period ${p + 1}: EPANET ${a ? `solves ${clock(a.t)}` : "has no more"}, ours ${b ? `solves ${clock(b.t)}` : "has no more"}`;
        if (a.t !== b.t) return `period ${p + 1}: EPANET solves ${clock(a.t)}, ours ${clock(b.t)}`;
        for (let i = 0; i < Math.max(a.items.length, b.items.length); i++) {
            const x = a.items[i];
            const y = b.items[i];
            const same = x && y && x.kind === y.kind && (x.kind === "S" ? x.text === y.text : x.n === y.n && Math.abs(x.v - y.v) <= 1e-5 + 2e-4 * Math.abs(x.v));
            if (!same) return `${clock(a.t)}: EPANET "${x ? x.text : "(balanced)"}", ours "${y ? y.text : "(balanced)"}"`;
        }
    }
    return null;
}

function trialCount(periods) {
    return periods.reduce((n, p) => n + p.items.filter((i) => i.kind === "T").length, 0);
}

async function compareOne(file, args, ws, Project) {
    const name = path.basename(file, path.extname(file));
    const dir = path.join(args.work, name);
    fs.mkdirSync(dir, { recursive: true });
    const inp = path.join(dir, `${name}.inp`);
    fs.writeFileSync(inp, withFullStatus(fs.readFileSync(file, "latin1")), "latin1");

    // EPANET: the whole run, its report kept.
    ws.writeFile("trials.inp", fs.readFileSync(inp));
    const p = new Project(ws);
    const EN = p._EN;
    const names = ["trials.inp", "trials.rpt", "trials.out"].map((s) => EN.allocateUTF8(s));
    const code = EN._EN_runproject(p._projectHandle, ...names, 0);
    names.forEach((x) => EN._free(x));
    const refText = ws.readFile("trials.rpt");
    fs.writeFileSync(path.join(dir, "epanet.rpt"), refText);

    // Ours: kvepa2-dump runs ENepanet on the file first and keeps that report.
    const designs = path.join(dir, "designs.txt");
    fs.writeFileSync(designs, "kvepa2-designs 1\ndesign 0 0\n");
    const out = path.join(dir, "kvepa2.dump");
    const r = spawnSync(args.dump, [inp, designs, out], { encoding: "utf8", timeout: 240000 });
    if (r.error || r.status !== 0) return { name, ok: false, text: `kvepa2-dump failed: ${r.error ? r.error.message : (r.stderr || "").slice(0, 2000)}` };
    const oursText = fs.readFileSync(`${out}.epanet.rpt`, "latin1");

    const ref = parseReport(refText);
    const ours = parseReport(oursText);
    if (code >= 100 && !ref.length) return { name, ok: true, text: `EPANET error ${code}, nothing to compare` };
    const diff = firstDifference(ref, ours);
    const counts = `${ref.length} periods, ${trialCount(ref)} trials`;
    return diff ? { name, ok: false, text: `DIFFERS, first at ${diff} (EPANET ${counts}, ours ${ours.length} periods, ${trialCount(ours)} trials)` } : { name, ok: true, text: `AGREES: ${counts}` };
}

async function main() {
    const args = parseArgs(process.argv.slice(2));
    let epanetJs;
    try {
        epanetJs = require("epanet-js");
    } catch {
        console.log(`SKIPPED: epanet-js is not installed in ${__dirname}/node_modules (run scripts/install-deps)`);
        return SKIP;
    }
    const ws = new epanetJs.Workspace();
    await ws.loadModule();
    let failed = 0;
    for (const file of args.networks) {
        const res = await compareOne(file, args, ws, epanetJs.Project);
        console.log(`${res.name} trials: ${res.text}`);
        if (!res.ok) failed++;
    }
    return failed ? 1 : 0;
}

if (require.main === module) {
    main().then(
        (code) => process.exit(code),
        (e) => {
            console.error(`trials: ${e.message}`);
            process.exit(1);
        },
    );
}

module.exports = { withFullStatus, parseReport, firstDifference };
