"use strict";
// The comparer must catch every kind of disagreement the oracle promises to catch, and must not
// flag the heads of nodes that closed links cut off from every reservoir and tank.
const test = require("node:test");
const assert = require("node:assert");
const { compareDumps, cutOffNodes, pipeData } = require("../lib/compare");
const { DumpWriter, parseDump } = require("../lib/format");

// R(1) - L1 - J2 - L2 - J3 ; J3 - L3 - J4 (a dead end)
function dump() {
    const nodes = [
        { id: "R1", type: 1 },
        { id: "J2", type: 0 },
        { id: "J3", type: 0 },
        { id: "J4", type: 0 },
    ];
    const links = [
        { id: "L1", type: 1, n1: 1, n2: 2 },
        { id: "L2", type: 1, n1: 2, n2: 3 },
        { id: "L3", type: 1, n1: 3, n2: 4 },
    ];
    const step = (t) => ({
        t,
        code: 0,
        tstep: t === 0 ? 3600 : 0,
        ncode: 0,
        H: Float64Array.of(100, 95.5, 90.25, 90.2),
        P: Float64Array.of(0, 45.5, 50.25, 60.2),
        D: Float64Array.of(-12.5, 5, 7, 0.5),
        Q: Float64Array.of(12.5, 7.5, 0.5),
        V: Float64Array.of(1.2, 0.9, 0.05),
        S: Float64Array.of(1, 1, 1),
    });
    return { nodes, links, epanet: 0, designs: [{ k: 0, init: 0, setfail: "", steps: [step(0), step(3600)] }] };
}
const clone = (d) => parseDump(toText(d), "clone");
function toText(d) {
    const w = new DumpWriter();
    w.header(d.nodes, d.links);
    if (d.epanet !== null) w.epanet(d.epanet);
    for (const des of d.designs) {
        w.design(des.k, des.init, des.setfail ? des.setfail.split(",") : []);
        for (const s of des.steps) {
            w.step(s);
            w.next(s.tstep, s.ncode);
        }
    }
    return w.text();
}

test("a dump agrees with itself after a trip through the text format", () => {
    const ref = dump();
    assert.ok(compareDumps(ref, clone(ref), "self").ok);
});

test("values just inside the tolerances agree, just outside differ", () => {
    const cases = [
        ["H", 1, 0.0009, true],
        ["H", 1, 0.0011, false],
        ["P", 2, -0.0011, false],
        ["Q", 0, 12.5 * 0.9e-4, true], // 0.009 % of the flow
        ["Q", 0, 12.5 * 1.1e-4, false],
        ["Q", 2, 0.00009, true], // near zero flows: absolute 0.0001
        ["Q", 2, 0.00011, false],
        ["D", 0, 0.0015, false],
        ["V", 1, 0.0002, false],
        ["S", 2, 1, false],
    ];
    for (const [key, i, delta, agrees] of cases) {
        const ours = clone(dump());
        ours.designs[0].steps[1][key][i] += delta;
        const c = compareDumps(dump(), ours, "tol");
        assert.strictEqual(c.ok, agrees, `${key}[${i}] off by ${delta}`);
        if (!agrees) assert.ok(c.offenders.some((o) => o.key === key && o.where.includes("t=3600")));
    }
});

test("huge heads of absurd designs are compared to float precision", () => {
    for (const [delta, agrees] of [
        [0.5, true],
        [5, false],
    ]) {
        const ref = dump();
        ref.designs[0].steps[0].H[1] = -7.6e6;
        const ours = clone(ref);
        ours.designs[0].steps[0].H[1] += delta;
        assert.strictEqual(compareDumps(ref, ours, "huge").ok, agrees, `off by ${delta}`);
    }
});

test("a NaN from our side is never within tolerance", () => {
    const ours = clone(dump());
    ours.designs[0].steps[0].H[2] = NaN;
    assert.ok(!compareDumps(dump(), ours, "nan").ok);
});

test("codes, time steps, step counts and elements must be identical", () => {
    const mutations = [
        (d) => (d.designs[0].steps[0].code = 6),
        (d) => (d.designs[0].steps[0].tstep = 1800),
        (d) => (d.designs[0].steps[1].t = 7200),
        (d) => d.designs[0].steps.pop(),
        (d) => (d.designs[0].init = 110),
        (d) => (d.designs[0].setfail = "3:207"),
        (d) => (d.nodes[3].id = "J9"),
        (d) => (d.links[1].n2 = 4),
        (d) => d.designs.pop(),
        (d) => (d.epanet = 6),
    ];
    mutations.forEach((mutate, n) => {
        const ours = clone(dump());
        mutate(ours);
        const c = compareDumps(dump(), ours, "structure");
        assert.ok(!c.ok && c.structural.length > 0, `mutation ${n} not caught`);
    });
});

test("nodes cut off by closed links are found through any number of open links", () => {
    const { nodes, links } = dump();
    const demand = [-5, 1, 0, 2];
    assert.deepStrictEqual(Array.from(cutOffNodes(nodes, links, [1, 1, 1], demand)), [0, 0, 0, 0]);
    assert.deepStrictEqual(Array.from(cutOffNodes(nodes, links, [1, 0, 1], demand)), [0, 0, 1, 1]);
    assert.deepStrictEqual(Array.from(cutOffNodes(nodes, links, [0, 1, 1], demand)), [0, 1, 1, 1]);
    // A cut-off group without demand is told apart: its heads are not compared at all.
    assert.deepStrictEqual(Array.from(cutOffNodes(nodes, links, [1, 1, 0], demand)), [0, 0, 0, 1]);
    assert.deepStrictEqual(Array.from(cutOffNodes(nodes, links, [1, 1, 0], [-5, 1, 0, 0])), [0, 0, 0, 2]);
});

test("heads of cut-off nodes are compared by the sign of their pressure only", () => {
    const closeL2 = (d, h3, h4) => {
        for (const s of d.designs[0].steps) {
            s.S[1] = 0;
            s.H[2] = h3;
            s.H[3] = h4;
            s.P[2] = h3 - 40;
            s.P[3] = h4 - 30;
        }
        return d;
    };
    const ref = closeL2(dump(), -7e6, -7e6);
    assert.ok(compareDumps(ref, closeL2(clone(dump()), -3e5, -3e5), "both flagged").ok);
    const c = compareDumps(ref, closeL2(clone(dump()), 50, 45), "only EPANET flags");
    assert.ok(!c.ok);
    assert.ok(c.offenders.every((o) => o.key === "cut-off flag"));
    // Pressures a hair either side of zero (a group held at the minimum pressure of
    // pressure-driven demands) agree; a sign flip beyond the tolerance does not.
    assert.ok(compareDumps(closeL2(dump(), 40 - 3e-10, 30 - 3e-10), closeL2(clone(dump()), 40 + 4e-11, 30 + 4e-11), "at zero").ok);
    assert.ok(!compareDumps(closeL2(dump(), 40 - 2, 30 - 2), closeL2(clone(dump()), 40 + 2, 30 + 2), "at +-2").ok);
    // Without demand in the group, even opposite signs are accepted.
    const idle = (d) => {
        for (const s of d.designs[0].steps) s.D[2] = s.D[3] = 0;
        return d;
    };
    assert.ok(compareDumps(idle(closeL2(dump(), -7e6, -7e6)), idle(closeL2(clone(dump()), 50, 45)), "no demand").ok);
    // Demands at cut-off nodes are still compared.
    const ours = closeL2(clone(dump()), -3e5, -3e5);
    ours.designs[0].steps[0].D[2] = 0;
    assert.ok(!compareDumps(ref, ours, "cut-off demand").ok);
});

test("beyond the tolerance, ours may differ by twice EPANET's own spread and no more", () => {
    const variant = clone(dump());
    variant.designs[0].steps[0].Q[1] += 0.001; // EPANET on a round-off variant
    const at = (dq) => {
        const ours = clone(dump());
        ours.designs[0].steps[0].Q[1] += dq;
        return ours;
    };
    assert.ok(compareDumps(dump(), at(0.0015), "spread", { variants: [variant] }).ok);
    assert.ok(compareDumps(dump(), at(-0.0019), "spread", { variants: [variant] }).ok);
    // 7.5 GPM: tolerance 0.00075, so at most 0.00275 in all.
    assert.ok(compareDumps(dump(), at(0.0027), "spread", { variants: [variant] }).ok);
    assert.ok(!compareDumps(dump(), at(0.0028), "spread", { variants: [variant] }).ok);
    assert.ok(!compareDumps(dump(), at(0.0015), "no variants").ok);
});

test("a reservoir's net flow may differ by what its links were allowed", () => {
    const variant = clone(dump());
    variant.designs[0].steps[0].Q[0] += 0.01;
    variant.designs[0].steps[0].D[0] -= 0.01;
    const ours = clone(dump());
    ours.designs[0].steps[0].Q[0] += 0.015;
    ours.designs[0].steps[0].D[0] -= 0.015;
    const c = compareDumps(dump(), ours, "net flow", { variants: [variant] });
    assert.ok(c.ok, c.offenders.map((o) => o.where).join(", "));
    // A junction's demand is an input, not the sum of its links: no such allowance there.
    ours.designs[0].steps[0].D[1] += 0.015;
    assert.ok(!compareDumps(dump(), ours, "junction", { variants: [variant] }).ok);
});

test("ours must take the steps of one of EPANET's runs, with a code one of them has there", () => {
    const variant = clone(dump());
    variant.designs[0].steps[1].code = 6;
    const ours = clone(dump());
    ours.designs[0].steps[1].code = 6;
    assert.ok(compareDumps(dump(), ours, "code", { variants: [variant] }).ok);
    ours.designs[0].steps[1].code = 1;
    assert.ok(!compareDumps(dump(), ours, "code", { variants: [variant] }).ok);
    // A variant with other step times lends no codes.
    variant.designs[0].steps[0].tstep = 1800;
    ours.designs[0].steps[1].code = 6;
    assert.ok(!compareDumps(dump(), ours, "times", { variants: [variant] }).ok);
    // Values are judged against the runs that share our code at that step.
    const v2 = clone(dump());
    v2.designs[0].steps[1].code = 6;
    v2.designs[0].steps[1].Q[0] += 1;
    const o2 = clone(dump());
    o2.designs[0].steps[1].code = 6;
    o2.designs[0].steps[1].Q[0] += 1;
    o2.designs[0].steps[1].D[0] -= 1;
    v2.designs[0].steps[1].D[0] -= 1;
    assert.ok(compareDumps(dump(), o2, "values", { variants: [v2] }).ok);
});

test("ENepanet may end on the last warning of any of EPANET's runs of the base model, if ours does", () => {
    const ref = dump();
    ref.epanet = 1;
    ref.designs[0].steps[0].code = 6;
    ref.designs[0].steps[1].code = 1;
    const variant = clone(ref);
    variant.designs[0].steps[1].code = 6;
    const ours = clone(ref);
    ours.epanet = 6;
    ours.designs[0].steps[1].code = 6;
    const epanetFlagged = (c) => c.structural.some((m) => m.startsWith("ENepanet"));
    assert.ok(compareDumps(ref, ours, "spread", { variants: [variant] }).ok);
    assert.ok(epanetFlagged(compareDumps(ref, ours, "no spread", { variants: [] })));
    // Our code must still be our own base run's last warning.
    ours.epanet = 4;
    assert.ok(epanetFlagged(compareDumps(ref, ours, "not ours", { variants: [variant] })));
});

test("flows below what the heads resolve are zero only when both sides say so", () => {
    // Heads near 90 ft: one round-off unit is 1.4e-14 ft, 8 of them at 1.852e7 cfs/ft make 9.4e-4 GPM.
    const GPM = 1;
    const withFlow = (q) => {
        const d = clone(dump());
        for (const s of d.designs[0].steps) s.Q[2] = q;
        return d;
    };
    const ref = withFlow(0.0005);
    assert.ok(compareDumps(ref, withFlow(0), "zero", { flowUnits: GPM }).ok);
    assert.ok(compareDumps(ref, withFlow(-0.0009), "zero", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, withFlow(0.0011), "zero", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(withFlow(0.0012), withFlow(0), "zero", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, withFlow(0), "without units").ok);
    // In metres the same heads are 3.28 times as many feet, and a round-off unit there is larger.
    const LPS = 5;
    assert.ok(compareDumps(withFlow(2e-5), withFlow(0), "lps", { flowUnits: LPS }).ok);
});

test("flows of pipes at the gradient floor may be eight head round-off units off, other flows not", () => {
    // At heads near 90 ft a unit is 1.4e-14 ft, times 1.852e7 cfs/ft 1.18e-4 GPM: 0.0025 GPM is
    // 21 units, beyond the zero band. L3, 50 ft of 30 in, has a friction gradient of 1e-8 ft/cfs
    // there. Eight units and the tolerance make 0.00105 GPM.
    const GPM = 1;
    const withFlow = (q) => {
        const d = clone(dump());
        for (const s of d.designs[0].steps) s.Q[2] = q;
        return d;
    };
    const pipes = (length, diameter, sets = []) =>
        pipeData(
            {
                flowUnits: GPM,
                headloss: 0,
                links: [0, 1, 2].map((j) => ({ type: 1, length: j === 2 ? length : 1000, diameter: j === 2 ? diameter : 12, roughness: 130, minorLoss: 0 })),
            },
            [{ k: 0, sets }],
        );
    const ref = withFlow(0.0025);
    const opts = (p) => ({ flowUnits: GPM, pipes: p });
    assert.ok(compareDumps(ref, withFlow(0.0035), "floor", opts(pipes(50, 30))).ok);
    assert.ok(!compareDumps(ref, withFlow(0.0036), "beyond eight units", opts(pipes(50, 30))).ok);
    assert.ok(!compareDumps(ref, withFlow(0.0035), "no pipe data", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, withFlow(0.0035), "long thin pipe", opts(pipes(50000, 2))).ok);
    // A design's diameter counts, not the network's.
    assert.ok(!compareDumps(ref, withFlow(0.0035), "designed thin", opts(pipes(50, 30, [[3, 0, 2]]))).ok);
});

test("pipes at the floor take their formula's gain; Darcy-Weisbach has no floor", () => {
    // L3, 50 ft of 30 in at 0.0025 GPM, is at the floor under all three formulas. Heads near 90 ft.
    const GPM = 1;
    const withFlow = (q) => {
        const d = clone(dump());
        for (const s of d.designs[0].steps) s.Q[2] = q;
        return d;
    };
    const pipes = (headloss, length, diameter, roughness) =>
        pipeData(
            {
                flowUnits: GPM,
                headloss,
                links: [0, 1, 2].map((j) => ({ type: 1, length: j === 2 ? length : 1000, diameter: j === 2 ? diameter : 12, roughness, minorLoss: 0 })),
            },
            [{ k: 0, sets: [] }],
        );
    const opts = (p) => ({ flowUnits: GPM, pipes: p });
    const ref = withFlow(0.0025);
    // Chezy-Manning: 2e7 cfs/ft, eight units 1.02e-3 GPM (with the 1e-4 tolerance 1.12e-3), beyond
    // Hazen-Williams' 0.95e-3.
    assert.ok(compareDumps(ref, withFlow(0.00361), "C-M", opts(pipes(2, 50, 30, 0.011))).ok);
    assert.ok(!compareDumps(ref, withFlow(0.00361), "H-W", opts(pipes(0, 50, 30, 130))).ok);
    assert.ok(!compareDumps(ref, withFlow(0.00363), "C-M beyond", opts(pipes(2, 50, 30, 0.011))).ok);
    // Darcy-Weisbach: 1 ft of 60 in has a laminar gradient of 2.2e-8 ft/cfs, a gain of 4.5e7.
    assert.ok(compareDumps(ref, withFlow(0.0045), "D-W wide", opts(pipes(1, 1, 60, 0.1))).ok);
    assert.ok(!compareDumps(ref, withFlow(0.0045), "D-W narrow", opts(pipes(1, 50, 6, 0.1))).ok);
});

test("what zero flows differ by may show in the other flows and at the reservoirs", () => {
    // L3 to the dead end J4: 0.0002 and 0.0008 GPM, both below the zero band (9.4e-4 GPM at
    // heads near 90 ft), so 6e-4 GPM of round-off enters the rest. L2's tolerance is 7.5e-4, R1's 1.25e-3.
    const GPM = 1;
    const run = (l3, l2Extra, r1Extra = 0) => {
        const d = clone(dump());
        for (const st of d.designs[0].steps) {
            st.Q[2] = l3;
            st.Q[1] += l2Extra;
            st.D[0] += r1Extra;
        }
        return d;
    };
    const ref = run(0.0002, 0);
    assert.ok(compareDumps(ref, run(0.0008, 0.00125), "passed on", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, run(0.0008, 0.0015), "beyond it", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, run(0.0002, 0.00125), "nothing to pass on", { flowUnits: GPM }).ok);
    assert.ok(compareDumps(ref, run(0.0008, 0, -0.0017), "at the reservoir", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(ref, run(0.0002, 0, -0.0017), "nothing at the reservoir", { flowUnits: GPM }).ok);
});

test("heads thousands of feet below the elevation are compared to 0.02 %", () => {
    const starved = (h) => {
        const d = clone(dump());
        for (const st of d.designs[0].steps) {
            st.H[3] = h;
            st.P[3] = h - 30;
        }
        return d;
    };
    assert.ok(compareDumps(starved(-19000), starved(-18996.5), "starved", { flowUnits: 1 }).ok);
    assert.ok(!compareDumps(starved(-19000), starved(-18995.5), "beyond", { flowUnits: 1 }).ok);
    assert.ok(!compareDumps(starved(-900), starved(-899.9), "not starved", { flowUnits: 1 }).ok);
});

test("a link closed at the step before may be a few head units off where it reopens", () => {
    // L3 closed at t=0, open at 3600 with 0.8 GPM: 4 units of 1.18e-4 GPM at heads near 90 ft.
    const GPM = 1;
    const reopening = (q, closedBefore = true) => {
        const d = clone(dump());
        const [s0, s1] = d.designs[0].steps;
        if (closedBefore) {
            s0.S[2] = 0;
            s0.Q[2] = 0;
        }
        s1.Q[2] = q;
        return d;
    };
    assert.ok(compareDumps(reopening(0.8), reopening(0.8005), "reopened", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(reopening(0.8), reopening(0.8007), "beyond four units", { flowUnits: GPM }).ok);
    assert.ok(!compareDumps(reopening(0.8, false), reopening(0.8005, false), "open before", { flowUnits: GPM }).ok);
});

test("under pressure-driven demands flows inside a cut-off group are judged by their head loss", () => {
    // L2 closed cuts J3 and J4 off; both sit at the minimum pressure, so L3 (1000 ft, 12 in, C 130)
    // carries what head differences far below the head tolerance move: 0.5 or 0.9 GPM lose 6e-6 ft,
    // 50 GPM 0.01 ft.
    const GPM = 1;
    const cutOff = (q) => {
        const d = clone(dump());
        for (const st of d.designs[0].steps) {
            st.S[1] = 0;
            st.Q[1] = 0;
            st.Q[2] = q;
        }
        return d;
    };
    const pipes = pipeData(
        { flowUnits: GPM, headloss: 0, links: [0, 1, 2].map(() => ({ type: 1, length: 1000, diameter: 12, roughness: 130, minorLoss: 0 })) },
        [{ k: 0, sets: [] }],
    );
    const pda = { flowUnits: GPM, pipes, pda: true };
    assert.ok(compareDumps(cutOff(0.5), cutOff(0.9), "pda", pda).ok);
    assert.ok(!compareDumps(cutOff(0.5), cutOff(50), "beyond the head tolerance", pda).ok);
    assert.ok(!compareDumps(cutOff(0.5), cutOff(0.9), "demand-driven", { flowUnits: GPM, pipes }).ok);
});
