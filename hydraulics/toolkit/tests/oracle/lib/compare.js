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

// EPANET does not reproduce itself to these tolerances: with every pipe length changed by one part
// in 1e14 (nothing, physically), its flows in ill-conditioned loops and its whole extended-period
// runs move by more than 0.01 %. The oracle therefore also runs EPANET on such variants; where they
// spread, ours may differ from EPANET by the tolerance plus SPREAD_FACTOR times that spread.
const SPREAD_FACTOR = 2;
// A link whose gradient is at EPANET's floor (1e-7 ft/cfs, loss 1e-7 q / 1.852) carries
// 1.852e7 cfs per ft of head difference, so one round-off unit of an 800 ft head shows as
// 0.0009 GPM: dead ends report such flows. Flows that both engines keep below ZERO_ULPS head
// units at that gain are zero to what the heads can resolve.
const ZERO_GAIN = 1.852e7; // cfs per ft
const ZERO_ULPS = 8;
const FT_PER_M = 1 / 0.3048;
// A pipe whose friction gradient falls below EPANET's floor (1e-7 ft/cfs) is solved as a
// linear loss, so its flow is the head difference of its ends times a gain (1.852e7 cfs per ft
// under Hazen-Williams, 2e7 under Chezy-Manning; Darcy-Weisbach has no floor, its laminar
// gradient sets the gain), quantised by the heads' last bit whatever its size (a dead end
// behind a closed link carries the link's leak so). Both sides may be FLOOR_QUANTA such units
// off: the pipe behind three closed pumps carries 34 units in EPANET and 28 in ours.
const MIN_GRADIENT = 1e-7; // ft per cfs
const FLOOR_QUANTA = 8;
// A link that was closed at the step before was reopened by this period's status checks, its
// first trial open taken from the closed link's leak flow at the floor gain. Where that was the
// last trial (a full tank whose node has just fallen below it), its flow is that gain times a
// head difference of some 1e-10 ft, and both sides' heads differ by a few last bits there.
const REOPENED_QUANTA = 4;
// A pipe's flow is fixed by the difference of its end heads, so where a small head loss moves
// it far (a low flow in a wide pipe, two nodes at nearly one head), the two sides' heads, which
// agree far within the tolerance, can still make it differ beyond 0.01 %: Net3's pipe 323
// (300 ft of 12 in at 0.98 GPM) takes 2.2e-4 GPM more for 8.5e-10 ft more loss. Flows are judged
// no finer than HEADLOSS_TOL of loss in their pipe (in head units, 1e-5 of the head tolerance),
// nor coarser than HEADLOSS_CAP of themselves.
const HEADLOSS_TOL = 1e-8;
// A closed link keeps a conductance of 1e-8 cfs per ft in both engines, and its leak is a flow
// the dumps do not show (they give a closed link 0). Into a group the closed links cut off (or a
// node starved behind a pipe designed too thin), at heads of -1e7 ft, it is that group's water,
// and EPANET's share of it follows round-off there (its flows inside such a group miss
// continuity by a floor quantum). The two sides' leaks differ by what their heads across the
// closed links say; that difference reaches the other flows.
const CLOSED_CONDUCTANCE = 1e-8;
const HEADLOSS_CAP = 0.01;
const STARVED_FT = 1000;
const STARVED_REL = 2 * FLOW_REL;
const WATER_VISCOSITY = 1.1e-5; // ft2/s
const EN_DIAMETER = 0;
const EN_ROUGHNESS = 2;
const EN_INITSTATUS = 4;
// Flow units per cfs, in EPANET's flow-unit code order (CFS GPM MGD IMGD AFD LPS LPM MLD CMH CMD CMS).
const PER_CFS = [1, 448.831, 0.64632, 0.5382, 1.9837, 28.317, 1699.0, 2.4466, 101.94, 2446.6, 0.028317];
const ulp = (x) => (x > 0 && Number.isFinite(x) ? 2 ** (Math.floor(Math.log2(x)) - 52) : 0);

// Each design's pipes in ft and cfs units, for their friction gradients: Map k -> array per link
// (null for other links) of { length, diameter, roughness, minor }.
function pipeData(info, designs) {
    const si = info.flowUnits >= 5;
    const toFt = si ? FT_PER_M : 1;
    const diamToFt = si ? FT_PER_M / 1000 : 1 / 12;
    const base = info.links.map((l) => (l.type <= 1 ? { length: l.length * toFt, diameter: l.diameter * diamToFt, roughness: l.roughness, minor: l.minorLoss } : null));
    const out = new Map();
    for (const d of designs) {
        const pipes = base.map((b) => b && { ...b });
        for (const [i, code, v] of d.sets) {
            const pipe = pipes[i - 1];
            if (!pipe) continue;
            if (code === EN_DIAMETER) pipe.diameter = Math.fround(v) * diamToFt;
            else if (code === EN_ROUGHNESS) pipe.roughness = Math.fround(v);
        }
        out.set(d.k, pipes);
    }
    return { headloss: info.headloss, nu: WATER_VISCOSITY * (info.viscosity > 0 ? info.viscosity : 1), byDesign: out };
}

// Friction plus minor-loss gradient (ft per cfs) of an open pipe at flow q (cfs); Infinity where
// it cannot be small (turbulent Darcy-Weisbach flow).
function pipeGradient(pipe, q, headloss, nu) {
    const a = Math.abs(q);
    const d = pipe.diameter;
    const minor = (2 * 0.02517 * pipe.minor * a) / d ** 4;
    let friction;
    if (headloss === 0) friction = 1.852 * ((4.727 * pipe.length) / (pipe.roughness ** 1.852 * d ** 4.871)) * a ** 0.852;
    else if (headloss === 2) friction = 2 * ((4.66 * pipe.roughness ** 2 * pipe.length) / d ** 5.333) * a;
    else {
        const re = (4 * a) / (Math.PI * d * nu);
        friction = re < 2000 ? (16 * Math.PI * nu * 0.025173 * pipe.length) / d ** 4 : Infinity;
    }
    return friction + minor;
}

// Cfs per ft of head difference through a pipe at flow q (cfs) where its gradient is below
// the floor, else 0.
function floorGain(pipe, q, headloss, nu) {
    const g = pipeGradient(pipe, q, headloss, nu);
    if (!(g < MIN_GRADIENT)) return 0;
    if (headloss === 0) return 1.852e7;
    if (headloss === 2) return 2e7;
    return g > 0 ? 1 / g : Infinity;
}

// The gradient of the loss (ft per cfs) at flow q (cfs), turbulent Darcy-Weisbach flow included
// (Swamee-Jain, its friction factor taken as constant).
function lossGradient(pipe, q, headloss, nu) {
    const g = pipeGradient(pipe, q, headloss, nu);
    if (Number.isFinite(g)) return g;
    const a = Math.abs(q);
    const d = pipe.diameter;
    const re = (4 * a) / (Math.PI * d * nu);
    const f = 0.25 / Math.log10(pipe.roughness / d / 3.7 + 5.74 / re ** 0.9) ** 2;
    return (2 * f * 0.025173 * pipe.length * a) / d ** 5 + (2 * 0.02517 * pipe.minor * a) / d ** 4;
}

const headTol = (ref) => Math.max(HEAD_TOL, FLOAT_REL * Math.abs(ref));
const flowTol = (ref) => Math.max(FLOW_REL * Math.abs(ref), FLOW_ABS);
const exact = () => 0;
const TOLERANCE = { H: headTol, P: headTol, D: flowTol, Q: flowTol, V: flowTol, S: exact };

// Nodes that no open link path joins to a reservoir or tank: 0 for joined nodes, 1 for a cut-off
// group in which some node has demand, 2 for a cut-off group without any. Heads there are not fixed
// by the equations: EPANET leaves a huge negative head in a group with demand (so only the sign of
// the pressure is compared, unless both are within the tolerance) and an arbitrary one in a group
// without (not compared at all).
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
        this.bySpread = 0; // values accepted only through EPANET's own spread
        this.byZero = 0; // flows accepted only as zero to the heads' resolution
        this.byFloor = 0; // flows of pipes at the gradient floor accepted only to the heads' resolution
        this.byLoss = 0; // flows accepted only to what a head loss of HEADLOSS_TOL moves
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
    // extra: what EPANET's own variants allow beyond the tolerance; zero: the flow below which
    // both sides count as no flow. Returns the part of the difference the tolerance did not cover.
    value(key, where, ref, ours, extra = 0, zero = 0, floor = 0, loss = 0) {
        this.valuesCompared++;
        const diff = Math.abs(ref - ours);
        const tol = TOLERANCE[key](ref);
        let bad = !(diff <= tol) && !(Number.isNaN(ref) && Number.isNaN(ours));
        if (bad && diff <= tol + extra) {
            bad = false;
            this.bySpread++;
        } else if (bad && Math.abs(ref) <= zero && Math.abs(ours) <= zero) {
            bad = false;
            this.byZero++;
        } else if (bad && diff <= tol + extra + floor) {
            bad = false;
            this.byFloor++;
        } else if (bad && diff <= tol + extra + floor + loss) {
            bad = false;
            this.byLoss++;
        }
        const w = this.worst[key];
        if (bad || !w || diff > w.diff) {
            const entry = { key, where, ref, ours, diff, ratio: tol > 0 ? diff / tol : diff > 0 ? Infinity : 0 };
            if (!w || diff > w.diff || Number.isNaN(diff)) this.worst[key] = entry;
            if (bad) this.offender(entry);
        }
        return bad || !(diff > tol) ? 0 : diff - tol;
    }
    get ok() {
        return this.structural.length === 0 && this.offenders.length === 0;
    }
}

// Two runs of the same design take the same hydraulic steps (times, step lengths, ENnextH codes).
function sameTimes(a, b) {
    return (
        a.steps.length === b.steps.length &&
        a.steps.every((x, i) => {
            const y = b.steps[i];
            return x.t === y.t && x.tstep === y.tstep && x.ncode === y.ncode;
        })
    );
}

// opts.variants: EPANET's dumps of round-off variants of the network; opts.flowUnits: EPANET's
// flow-unit code, which turns on the zero band of flows.
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
    // ENepanet returns the warning of the last period that had one. Where EPANET's own runs of the
    // base model end on different warnings (a period that converges or not on round-off), ours
    // may end on the warning of any of them, as long as it is its own base run's.
    const lastWarning = (d) => {
        let w = 0;
        for (const st of d?.steps ?? []) for (const x of [st.code, st.ncode]) if (x > 0 && x < 100) w = x;
        return w;
    };
    const base0 = (run) => run.designs.find((d) => d.k === 0);
    const epanetSpread = () =>
        lastWarning(base0(ours)) === ours.epanet &&
        [ref, ...(opts.variants ?? [])].some((run) => lastWarning(base0(run)) === ours.epanet);
    if (ref.epanet !== null && ref.epanet !== undefined && ours.epanet !== ref.epanet && !epanetSpread())
        c.structure(`ENepanet on the network file: EPANET ${ref.epanet}, ours ${ours.epanet ?? "not run"}`);
    const oursByK = new Map(ours.designs.map((d) => [d.k, d]));
    const variantsByK = (opts.variants ?? []).map((v) => new Map(v.designs.map((d) => [d.k, d])));
    const perCfs = opts.flowUnits === undefined ? 0 : PER_CFS[opts.flowUnits] ?? 0;
    const ftPerUnit = opts.flowUnits >= 5 ? FT_PER_M : 1;
    const fixedGrade = ref.nodes.map((n) => FIXED_GRADE(n.type));
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
        // Of EPANET's runs (the network itself and its round-off variants), those that take our
        // hydraulic steps are the candidates; at each step, those of them with our ENrunH code
        // make the envelope (whether a period with nodes cut off by closed links converges is
        // itself round-off in EPANET), and the first of them is the reference.
        const runs = [rd, ...variantsByK.map((m) => m.get(rd.k)).filter(Boolean)];
        const candidates = runs.filter((run) => sameTimes(run, od));
        const base = candidates.length ? candidates[0] : rd;
        const n = Math.min(base.steps.length, od.steps.length);
        const pipes = perCfs > 0 && opts.pipes ? opts.pipes.byDesign.get(k) : null;
        if (base.steps.length !== od.steps.length) c.structure(`${tag}: EPANET takes ${base.steps.length} hydraulic steps, ours ${od.steps.length}`);
        for (let s = 0; s < n; s++) {
            const o = od.steps[s];
            const sameCode = candidates.filter((run) => run.steps[s].code === o.code);
            const envelope = sameCode.length ? sameCode : [base];
            const r = envelope[0].steps[s];
            const at = `${tag} t=${r.t}`;
            if (r.t !== o.t) {
                c.structure(`${tag} step ${s}: time EPANET ${r.t}, ours ${o.t}`);
                break;
            }
            if (r.code !== o.code) c.structure(`${at}: ENrunH code EPANET ${r.code}, ours ${o.code}`);
            if (r.tstep !== o.tstep) c.structure(`${at}: ENnextH step EPANET ${r.tstep}, ours ${o.tstep}`);
            if (r.ncode !== o.ncode) c.structure(`${at}: ENnextH code EPANET ${r.ncode}, ours ${o.ncode}`);
            if (r.code >= 100) continue; // no solution to compare
            const env = envelope.map((run) => run.steps[s]);
            const allowance = (key, i) => {
                if (env.length < 2) return 0;
                let lo = Infinity;
                let hi = -Infinity;
                for (const e of env) {
                    lo = Math.min(lo, e[key][i]);
                    hi = Math.max(hi, e[key][i]);
                }
                return hi > lo ? SPREAD_FACTOR * (hi - lo) : 0;
            };
            // What the links' flows were allowed beyond the tolerance, summed at their ends: a tank's
            // or reservoir's net flow is the sum of its links' flows.
            const nodeExtra = new Float64Array(ref.nodes.length);
            const cut = cutOffNodes(ref.nodes, ref.links, r.S, r.D);
            // Each link's round-off allowances first. A flow at the floor or below what the heads
            // resolve is round-off, and continuity passes what the two sides' differ by there on to
            // the other links (a dead end behind a closed pipe feeds its leak to the main).
            const links = ref.links.map((link, j) => {
                const hmax = Math.max(Math.abs(r.H[link.n1 - 1]), Math.abs(r.H[link.n2 - 1])) * ftPerUnit;
                const quantum = ulp(hmax) * ZERO_GAIN * perCfs;
                const pipe = pipes && pipes[j];
                const gains = pipe && o.S[j] !== 0 ? [r.Q[j], o.Q[j]].map((q) => floorGain(pipe, q / perCfs, opts.pipes.headloss, opts.pipes.nu)) : [0];
                const atFloor = gains.every((g) => g > 0);
                let floorExtra = atFloor ? FLOOR_QUANTA * ulp(hmax) * Math.max(...gains) * perCfs : 0;
                const reopened = s > 0 && r.S[j] !== 0 && o.S[j] !== 0 && envelope[0].steps[s - 1].S[j] === 0;
                if (reopened) floorExtra = Math.max(floorExtra, REOPENED_QUANTA * quantum);
                // Under pressure-driven demands a group cut off by closed links sits at the minimum
                // pressure, so the flows between its nodes follow head differences far below the
                // head tolerance; they are judged by what that tolerance moves through the pipe.
                if (opts.pda && pipe && cut[link.n1 - 1] && cut[link.n2 - 1]) {
                    const q = Math.max(Math.abs(r.Q[j]), Math.abs(o.Q[j])) / perCfs;
                    const gradient = pipeGradient(pipe, q, opts.pipes.headloss, opts.pipes.nu);
                    floorExtra = Math.max(floorExtra, ((HEAD_TOL * ftPerUnit) / Math.max(gradient, MIN_GRADIENT)) * perCfs);
                }
                const zero = ZERO_ULPS * quantum;
                const diff = Math.abs(r.Q[j] - o.Q[j]);
                // A group cut off by closed links keeps its own: only their leak reaches the rest.
                const joined = !cut[link.n1 - 1] && !cut[link.n2 - 1];
                const roundOff = joined && ((Math.abs(r.Q[j]) <= zero && Math.abs(o.Q[j]) <= zero) || (atFloor && diff <= flowTol(r.Q[j]) + floorExtra)) ? diff : 0;
                let loss = 0;
                if (pipe && !atFloor && r.S[j] !== 0 && o.S[j] !== 0) {
                    const q = Math.max(Math.abs(r.Q[j]), Math.abs(o.Q[j]));
                    const g = lossGradient(pipe, q / perCfs, opts.pipes.headloss, opts.pipes.nu);
                    loss = Math.min(((HEADLOSS_TOL * ftPerUnit) / g) * perCfs, HEADLOSS_CAP * q);
                }
                return { zero, floorExtra, roundOff, loss };
            });
            // What they differ by is a flow injected where they meet the rest; it reaches the tanks
            // and reservoirs along paths, none of which carries more than all of it.
            let injected = links.reduce((sum, l) => sum + l.roundOff, 0);
            ref.links.forEach((link, j) => {
                if (r.S[j] !== 0 || o.S[j] !== 0) return;
                const drop = (d) => d.H[link.n1 - 1] - d.H[link.n2 - 1];
                injected += CLOSED_CONDUCTANCE * Math.abs(drop(r) - drop(o)) * ftPerUnit * perCfs;
            });
            ref.links.forEach((link, j) => {
                const where = `${at} link ${link.id}`;
                const { zero, roundOff, loss } = links[j];
                const floorExtra = links[j].floorExtra + (injected - roundOff);
                const qOver = c.value("Q", where, r.Q[j], o.Q[j], allowance("Q", j), zero, floorExtra, loss);
                const ratio = r.Q[j] !== 0 ? Math.abs(r.V[j] / r.Q[j]) : o.Q[j] !== 0 ? Math.abs(o.V[j] / o.Q[j]) : 0;
                c.value("V", where, r.V[j], o.V[j], allowance("V", j) + qOver * ratio, zero * ratio);
                const status = env.some((e) => e.S[j] === o.S[j]) ? o.S[j] : r.S[j];
                c.value("S", where, status, o.S[j]);
                nodeExtra[link.n1 - 1] += qOver;
                nodeExtra[link.n2 - 1] += qOver;
            });
            ref.nodes.forEach((node, i) => {
                const where = `${at} node ${node.id}`;
                // A tank or reservoir may also take what the round-off flows inject.
                const dExtra = allowance("D", i) + (fixedGrade[i] ? nodeExtra[i] + injected : 0);
                if (cut[i]) {
                    c.cutOffSeen++;
                    // Under pressure-driven demands such a group sits at the minimum pressure
                    // instead, give or take round-off: there a sign may flip within the tolerance.
                    const near = Math.abs(r.P[i] - o.P[i]) <= headTol(r.P[i]) + allowance("P", i);
                    if (cut[i] === 1 && r.P[i] < 0 !== o.P[i] < 0 && !near)
                        c.offender({ key: "cut-off flag", where, ref: r.P[i], ours: o.P[i], diff: NaN, ratio: Infinity });
                    c.value("D", where, r.D[i], o.D[i], dExtra);
                    return;
                }
                // A node starved thousands of feet below its elevation (a design's pipe too thin
                // to feed it) has the loss of that pipe at the flow it must carry for head; the
                // loss moves 1.852 times as much as the flow, which agrees to 0.01 %.
                const starved = r.P[i] * ftPerUnit < -STARVED_FT ? STARVED_REL * Math.abs(r.P[i]) : 0;
                c.value("H", where, r.H[i], o.H[i], allowance("H", i) + starved);
                c.value("P", where, r.P[i], o.P[i], allowance("P", i) + starved);
                c.value("D", where, r.D[i], o.D[i], dExtra);
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
    const allowed =
        c.bySpread || c.byZero || c.byFloor || c.byLoss
            ? ` (${c.bySpread} within EPANET's own spread, ${c.byZero} zero flows, ${c.byFloor} at the gradient floor, ${c.byLoss} by head loss)`
            : "";
    out.push(`${c.label}: ${c.ok ? "AGREES" : "DIFFERS"}; ${agreeing} of ${c.designs} designs agree; ${c.valuesCompared} values compared${allowed}, ${c.cutOffSeen} cut-off node states; worst: ${worst || "-"}`);
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

module.exports = { compareDumps, report, cutOffNodes, pipeData, pipeGradient };
