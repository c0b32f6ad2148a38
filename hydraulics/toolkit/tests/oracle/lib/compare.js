"use strict";
// Compares a dump of ours with EPANET's under the oracle's tolerances and keeps the worst offenders.
const HEAD_TOL = 0.001; // model units
// The program reads results as 32-bit floats, which cannot show 0.001 in heads beyond about 4000
// units (absurd designs reach -1e33): there about two float steps are allowed instead.
const FLOAT_REL = 2.5e-7;
const FLOW_REL = 1e-4; // 0.01 %
const FLOW_ABS = 1e-4; // model units, for flows near zero
const NODE_QUANTITIES = [
    ["H", "head"],
    ["P", "pressure"],
    ["D", "demand"],
];
const LINK_QUANTITIES = [
    ["Q", "flow"],
    ["V", "velocity"],
    ["S", "status"],
];
const FIXED_GRADE = (type) => type === 1 || type === 2;

const headTol = (ref) => Math.max(HEAD_TOL, FLOAT_REL * Math.abs(ref));
const flowTol = (ref) => Math.max(FLOW_REL * Math.abs(ref), FLOW_ABS);
const exact = () => 0;
const TOLERANCE = { H: headTol, P: headTol, D: flowTol, Q: flowTol, V: flowTol, S: exact };

// Nodes that no open link path joins to a reservoir or tank: 0 for joined nodes, 1 for a cut-off
// group in which some node has demand, 2 for a cut-off group without any. Heads there are not fixed
// by the equations: EPANET leaves a huge negative head in a group with demand (so only the sign of
// the pressure is compared) and an arbitrary one in a group without (not compared at all).
function cutOffNodes(nodes, links, status, demand) {
    const adj = nodes.map(() => []);
    links.forEach((l, j) => {
        if (status[j] !== 0) {
            adj[l.n1 - 1].push(l.n2 - 1);
            adj[l.n2 - 1].push(l.n1 - 1);
        }
    });
    const state = new Uint8Array(nodes.length); // 0 unvisited, 9 joined
    const spread = (start, mark) => {
        const queue = [start];
        const group = [start];
        state[start] = mark;
        while (queue.length) {
            for (const m of adj[queue.pop()]) {
                if (!state[m]) {
                    state[m] = mark;
                    queue.push(m);
                    group.push(m);
                }
            }
        }
        return group;
    };
    nodes.forEach((n, i) => {
        if (FIXED_GRADE(n.type) && !state[i]) spread(i, 9);
    });
    nodes.forEach((n, i) => {
        if (state[i]) return;
        const group = spread(i, 1);
        if (!group.some((m) => demand && demand[m] !== 0)) for (const m of group) state[m] = 2;
    });
    return state.map((v) => (v === 9 ? 0 : v));
}

class Comparison {
    constructor(label) {
        this.label = label;
        this.structural = []; // fatal differences: elements, codes, time steps
        this.offenders = []; // values outside tolerance
        this.worst = {}; // per quantity: largest difference seen, inside tolerance or not
        this.cutOffSeen = 0;
        this.valuesCompared = 0;
        this.designs = 0;
        this.current = null; // design being compared
        this.failedDesigns = new Set();
    }
    offender(entry) {
        this.offenders.push(entry);
        if (this.current !== null) this.failedDesigns.add(this.current);
    }
    structure(msg) {
        if (this.current !== null) this.failedDesigns.add(this.current);
        if (this.structural.length < 200) this.structural.push(msg);
        else this.truncated = true;
    }
    value(key, where, ref, ours) {
        this.valuesCompared++;
        const diff = Math.abs(ref - ours);
        const tol = TOLERANCE[key](ref);
        const bad = !(diff <= tol) && !(Number.isNaN(ref) && Number.isNaN(ours));
        const w = this.worst[key];
        if (bad || !w || diff > w.diff) {
            const entry = { key, where, ref, ours, diff, ratio: tol > 0 ? diff / tol : diff > 0 ? Infinity : 0 };
            if (!w || diff > w.diff || Number.isNaN(diff)) this.worst[key] = entry;
            if (bad) this.offender(entry);
        }
    }
    get ok() {
        return this.structural.length === 0 && this.offenders.length === 0;
    }
}

function compareDumps(ref, ours, label, opts = {}) {
    const c = new Comparison(label);
    const designMap = opts.designMap ?? ((k) => k);
    if (ref.nodes.length !== ours.nodes.length || ref.links.length !== ours.links.length) {
        c.structure(`element counts differ: EPANET ${ref.nodes.length} nodes, ${ref.links.length} links; ours ${ours.nodes.length} nodes, ${ours.links.length} links`);
        return c;
    }
    ref.nodes.forEach((n, i) => {
        const o = ours.nodes[i];
        if (n.id !== o.id || n.type !== o.type) c.structure(`node ${i + 1}: EPANET ${n.id} (type ${n.type}), ours ${o.id} (type ${o.type})`);
    });
    ref.links.forEach((l, j) => {
        const o = ours.links[j];
        if (l.id !== o.id || l.type !== o.type || l.n1 !== o.n1 || l.n2 !== o.n2)
            c.structure(`link ${j + 1}: EPANET ${l.id} (type ${l.type}, ${l.n1}-${l.n2}), ours ${o.id} (type ${o.type}, ${o.n1}-${o.n2})`);
    });
    if (!c.ok) return c;
    if (ref.epanet !== null && ref.epanet !== undefined && ours.epanet !== ref.epanet)
        c.structure(`ENepanet on the network file: EPANET ${ref.epanet}, ours ${ours.epanet ?? "not run"}`);
    const oursByK = new Map(ours.designs.map((d) => [d.k, d]));
    for (const rd of ref.designs) {
        const k = designMap(rd.k);
        const od = oursByK.get(k);
        const tag = `design ${k}`;
        c.current = k;
        c.designs++;
        if (!od) {
            c.structure(`${tag}: missing from our dump`);
            continue;
        }
        if (!opts.ignoreSetCodes) {
            if (rd.init !== od.init) c.structure(`${tag}: ENinitH code EPANET ${rd.init}, ours ${od.init}`);
            if (rd.setfail !== od.setfail) c.structure(`${tag}: refused ENsetlinkvalue calls (position:code) EPANET '${rd.setfail || "-"}', ours '${od.setfail || "-"}'`);
        }
        const n = Math.min(rd.steps.length, od.steps.length);
        if (rd.steps.length !== od.steps.length) c.structure(`${tag}: EPANET takes ${rd.steps.length} hydraulic steps, ours ${od.steps.length}`);
        for (let s = 0; s < n; s++) {
            const r = rd.steps[s];
            const o = od.steps[s];
            const at = `${tag} t=${r.t}`;
            if (r.t !== o.t) {
                c.structure(`${tag} step ${s}: time EPANET ${r.t}, ours ${o.t}`);
                break;
            }
            if (r.code !== o.code) c.structure(`${at}: ENrunH code EPANET ${r.code}, ours ${o.code}`);
            if (r.tstep !== o.tstep) c.structure(`${at}: ENnextH step EPANET ${r.tstep}, ours ${o.tstep}`);
            if (r.ncode !== o.ncode) c.structure(`${at}: ENnextH code EPANET ${r.ncode}, ours ${o.ncode}`);
            if (r.code >= 100) continue; // no solution to compare
            const cut = cutOffNodes(ref.nodes, ref.links, r.S, r.D);
            ref.nodes.forEach((node, i) => {
                if (cut[i]) {
                    c.cutOffSeen++;
                    if (cut[i] === 1 && r.P[i] < 0 !== o.P[i] < 0)
                        c.offender({ key: "cut-off flag", where: `${at} node ${node.id}`, ref: r.P[i], ours: o.P[i], diff: NaN, ratio: Infinity });
                    c.value("D", `${at} node ${node.id}`, r.D[i], o.D[i]);
                    return;
                }
                for (const [key] of NODE_QUANTITIES) c.value(key, `${at} node ${node.id}`, r[key][i], o[key][i]);
            });
            ref.links.forEach((link, j) => {
                for (const [key] of LINK_QUANTITIES) c.value(key, `${at} link ${link.id}`, r[key][j], o[key][j]);
            });
        }
    }
    return c;
}

const NAMES = Object.fromEntries([...NODE_QUANTITIES, ...LINK_QUANTITIES, ["cut-off flag", "cut-off flag"]]);
const show = (v) => (typeof v === "number" ? Number(v.toPrecision(10)) : v);

function report(c, maxLines = 25) {
    const out = [];
    const worst = Object.values(c.worst)
        .map((w) => `${NAMES[w.key]} ${show(w.diff)} (${w.where})`)
        .join("; ");
    const agreeing = c.designs - c.failedDesigns.size;
    out.push(`${c.label}: ${c.ok ? "AGREES" : "DIFFERS"}; ${agreeing} of ${c.designs} designs agree; ${c.valuesCompared} values compared, ${c.cutOffSeen} cut-off node states; worst: ${worst || "-"}`);
    if (c.failedDesigns.size) {
        const list = [...c.failedDesigns].sort((a, b) => a - b);
        out.push(`  designs that differ: ${list.slice(0, 30).join(" ")}${list.length > 30 ? " ..." : ""}${c.failedDesigns.has(0) ? " (0 is the base model)" : ""}`);
    }
    if (c.structural.length) {
        out.push(`  ${c.structural.length}${c.truncated ? "+" : ""} differences in elements, codes or time steps:`);
        for (const s of c.structural.slice(0, maxLines)) out.push(`    ${s}`);
    }
    if (c.offenders.length) {
        out.push(`  ${c.offenders.length} values outside tolerance; worst offenders:`);
        const sorted = [...c.offenders].sort((a, b) => b.ratio - a.ratio || b.diff - a.diff);
        for (const o of sorted.slice(0, maxLines))
            out.push(`    ${NAMES[o.key].padEnd(12)} ${o.where}: EPANET ${show(o.ref)}, ours ${show(o.ours)}, diff ${show(o.diff)}`);
    }
    return out.join("\n");
}

module.exports = { compareDumps, report, cutOffNodes };
