"use strict";
// The dump format shared by the EPANET side and kvepa2-dump: plain text, one record per line.
//   kvepa2-dump 1
//   nodes N            then N lines "<id> <type>"
//   links M            then M lines "<id> <type> <node1> <node2>"
//   epanet <code>      (ENepanet on the network file, before anything else; optional)
//   design <k> init <code> setfail <list|->    (list of position:code of refused set calls)
//   step <t> <code>    then lines H, P, D (per node) and Q, V, S (per link)
//   next <tstep> <code>
const fs = require("fs");

// Twelve significant digits: far below every tolerance, and the same text from C++ ("%.12g").
const num = (v) => (Number.isFinite(v) ? String(Number(v.toPrecision(12))) : Number.isNaN(v) ? "nan" : v > 0 ? "inf" : "-inf");

class DumpWriter {
    constructor() {
        this.parts = ["kvepa2-dump 1\n"];
    }
    header(nodes, links) {
        this.parts.push(`nodes ${nodes.length}\n`);
        for (const n of nodes) this.parts.push(`${n.id} ${n.type}\n`);
        this.parts.push(`links ${links.length}\n`);
        for (const l of links) this.parts.push(`${l.id} ${l.type} ${l.n1} ${l.n2}\n`);
    }
    epanet(code) {
        this.parts.push(`epanet ${code}\n`);
    }
    design(k, init, setfail) {
        this.parts.push(`design ${k} init ${init} setfail ${setfail.length ? setfail.join(",") : "-"}\n`);
    }
    step(s) {
        this.parts.push(`step ${s.t} ${s.code}\n`);
        for (const key of ["H", "P", "D", "Q", "V", "S"]) this.parts.push(`${key} ${Array.from(s[key], num).join(" ")}\n`);
    }
    next(tstep, code) {
        this.parts.push(`next ${tstep} ${code}\n`);
    }
    text() {
        return this.parts.join("");
    }
    save(file) {
        fs.writeFileSync(file, this.text());
    }
}

function parseDump(text, source) {
    const lines = text.split("\n");
    let i = 0;
    const fail = (msg) => {
        throw new Error(`${source}:${i + 1}: ${msg}`);
    };
    const line = () => (i < lines.length ? lines[i++] : fail("unexpected end of dump"));
    if (!line().startsWith("kvepa2-dump 1")) fail("not a kvepa2 dump");
    const count = (word) => {
        const f = line().split(" ");
        if (f[0] !== word) fail(`expected '${word}'`);
        return Number(f[1]);
    };
    const nodes = [];
    for (let n = count("nodes"); n > 0; n--) {
        const f = line().split(" ");
        nodes.push({ id: f[0], type: Number(f[1]) });
    }
    const links = [];
    for (let n = count("links"); n > 0; n--) {
        const f = line().split(" ");
        links.push({ id: f[0], type: Number(f[1]), n1: Number(f[2]), n2: Number(f[3]) });
    }
    const designs = [];
    let epanet = null;
    let step = null;
    const values = (key, n) => {
        const f = line().split(" ");
        if (f[0] !== key) fail(`expected '${key}'`);
        if (f.length - 1 !== n) fail(`'${key}' has ${f.length - 1} values, expected ${n}`);
        return Float64Array.from(f.slice(1), Number);
    };
    while (i < lines.length) {
        const raw = lines[i++];
        if (raw === "") continue;
        const f = raw.split(" ");
        if (f[0] === "epanet") {
            epanet = Number(f[1]);
        } else if (f[0] === "design") {
            designs.push({ k: Number(f[1]), init: Number(f[3]), setfail: f[5] === "-" ? "" : f[5], steps: [] });
        } else if (f[0] === "step") {
            if (!designs.length) fail("step before any design");
            step = { t: Number(f[1]), code: Number(f[2]), tstep: null, ncode: null };
            for (const key of ["H", "P", "D"]) step[key] = values(key, nodes.length);
            for (const key of ["Q", "V", "S"]) step[key] = values(key, links.length);
            designs[designs.length - 1].steps.push(step);
        } else if (f[0] === "next") {
            if (!step) fail("'next' before any step");
            step.tstep = Number(f[1]);
            step.ncode = Number(f[2]);
        } else {
            fail(`unknown record '${f[0]}'`);
        }
    }
    return { nodes, links, epanet, designs };
}

// The dump with its nodes and links in the order of `ref`, matched by ID. A saved file lists its
// links by kind (pipes, pumps, valves), so reading it back can number them differently from the
// file it came from. Left as it is when the IDs do not match one to one (the comparer says so).
function inOrderOf(dump, ref) {
    const order = (mine, theirs) => {
        const at = new Map(mine.map((e, i) => [e.id, i]));
        const perm = theirs.map((e) => at.get(e.id));
        return at.size === mine.length && mine.length === theirs.length && perm.every((i) => i !== undefined) ? perm : null;
    };
    const np = order(dump.nodes, ref.nodes);
    const lp = order(dump.links, ref.links);
    if (!np || !lp) return dump;
    const newNode = new Map(np.map((old, i) => [old + 1, i + 1]));
    const pick = (a, perm) => Float64Array.from(perm, (i) => a[i]);
    return {
        ...dump,
        nodes: np.map((i) => dump.nodes[i]),
        links: lp.map((i) => {
            const l = dump.links[i];
            return { ...l, n1: newNode.get(l.n1), n2: newNode.get(l.n2) };
        }),
        designs: dump.designs.map((d) => ({
            ...d,
            steps: d.steps.map((s) => ({
                ...s,
                H: pick(s.H, np), P: pick(s.P, np), D: pick(s.D, np),
                Q: pick(s.Q, lp), V: pick(s.V, lp), S: pick(s.S, lp),
            })),
        })),
    };
}

module.exports = { DumpWriter, parseDump, num, inOrderOf };
