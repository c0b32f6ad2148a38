"use strict";
// Runs the real EPANET (epanet-js, WebAssembly) through the same loop as the program's design run.
const fs = require("fs");
const path = require("path");
const { DumpWriter } = require("./format");

const EN_NODECOUNT = 0;
const EN_LINKCOUNT = 2;
const EN_HEAD = 10;
const EN_PRESSURE = 11;
const EN_DEMAND = 9;
const EN_FLOW = 8;
const EN_VELOCITY = 9;
const EN_STATUS = 11;
const EN_DIAMETER = 0;
const EN_LENGTH = 1;
const EN_ROUGHNESS = 2;
const EN_MINORLOSS = 3;
const EN_ACCURACY = 1;
const EN_HEADLOSSFORM = 7;
const EN_SP_VISCOS = 13; // relative to water at 20 C
const MAX_STEPS = 100000;

let workspace = null;
async function engine() {
    if (!workspace) {
        const { Workspace } = require("epanet-js");
        workspace = new Workspace();
        await workspace.loadModule();
        if (Math.floor(workspace.version / 100) !== 203) throw new Error(`epanet-js runs EPANET ${workspace.version}, expected 2.3.x`);
    }
    return workspace;
}

let fileCounter = 0;
// Opens a network file in a fresh EPANET project; returns raw access to its C functions.
async function openNetwork(file) {
    const ws = await engine();
    const { Project } = require("epanet-js");
    const p = new Project(ws);
    const name = `net${++fileCounter}.inp`;
    ws.writeFile(name, fs.readFileSync(file));
    const EN = p._EN;
    const h = p._projectHandle;
    const str = (s) => EN.allocateUTF8(s);
    const [a, b, c] = [str(name), str(`net${fileCounter}.rpt`), str("")];
    const code = EN._EN_open(h, a, b, c);
    [a, b, c].forEach((x) => EN._free(x));
    if (code >= 100) {
        let detail = "";
        EN._EN_close(h); // the report is complete only once the project is closed
        try {
            detail = ws.readFile(`net${fileCounter}.rpt`).split("\n").filter((l) => /Error/.test(l)).slice(0, 10).join("\n");
        } catch {
            // no report written
        }
        throw new Error(`EPANET cannot open ${path.basename(file)}: ${ws.getError(code)}\n${detail}`);
    }
    return { ws, p, EN, h, ptr: EN._malloc(16), file: name };
}

// ENepanet on a network file in a project of its own: the code the program's validity check reads.
async function runProject(file) {
    const ws = await engine();
    const { Project } = require("epanet-js");
    const p = new Project(ws);
    const name = `run${++fileCounter}`;
    ws.writeFile(`${name}.inp`, fs.readFileSync(file));
    const EN = p._EN;
    const names = [`${name}.inp`, `${name}.rpt`, `${name}.out`].map((s) => EN.allocateUTF8(s));
    const code = EN._EN_runproject(p._projectHandle, ...names, 0);
    names.forEach((x) => EN._free(x));
    return code;
}

function networkInfo(net) {
    const { p } = net;
    const nodes = [];
    const links = [];
    for (let i = 1; i <= p.getCount(EN_NODECOUNT); i++) nodes.push({ id: p.getNodeId(i), type: p.getNodeType(i) });
    for (let i = 1; i <= p.getCount(EN_LINKCOUNT); i++) {
        const ends = p.getLinkNodes(i);
        links.push({
            id: p.getLinkId(i),
            type: p.getLinkType(i),
            n1: ends.node1,
            n2: ends.node2,
            diameter: p.getLinkValue(i, EN_DIAMETER),
            length: p.getLinkValue(i, EN_LENGTH),
            roughness: p.getLinkValue(i, EN_ROUGHNESS),
            minorLoss: p.getLinkValue(i, EN_MINORLOSS),
        });
    }
    return {
        nodes,
        links,
        flowUnits: p.getFlowUnits(),
        siUnits: p.getFlowUnits() >= 5,
        headloss: p.getOption(EN_HEADLOSSFORM),
        viscosity: p.getOption(EN_SP_VISCOS),
        pda: p.getDemandModel().type === 1,
        pipes: links.map((l, i) => ({ index: i + 1, type: l.type, diameter: l.diameter })).filter((l) => l.type <= 1),
    };
}

// Applies each design in turn on one open project and records every hydraulic step.
// initFlag 11 re-initialises flows, so each design is solved from the same start (EPANET's
// 0 and 1 keep the previous run's flows, which makes results depend on the design before).
function runDesigns(net, info, designs, initFlag, epanetCode = null) {
    const { EN, h, ptr, p } = net;
    const writer = new DumpWriter();
    writer.header(info.nodes, info.links);
    if (epanetCode !== null) writer.epanet(epanetCode);
    const out = { nodes: info.nodes, links: info.links, epanet: epanetCode, designs: [] };
    const openH = EN._EN_openH(h);
    if (openH >= 100) throw new Error(`EPANET ENopenH failed: ${net.ws.getError(openH)}`);
    for (const d of designs) {
        const setfail = [];
        d.sets.forEach(([i, code, v], pos) => {
            const rc = EN._EN_setlinkvalue(h, i, code, Math.fround(v));
            if (rc) setfail.push(`${pos}:${rc}`);
        });
        const init = EN._EN_initH(h, initFlag);
        const rec = { k: d.k, init, setfail: setfail.join(","), steps: [] };
        writer.design(d.k, init, setfail);
        for (let n = 0; n < MAX_STEPS; n++) {
            const code = EN._EN_runH(h, ptr);
            const t = EN.getValue(ptr, "i32");
            const step = {
                t,
                code,
                H: p.getNodeValues(EN_HEAD),
                P: p.getNodeValues(EN_PRESSURE),
                D: p.getNodeValues(EN_DEMAND),
                Q: p.getLinkValues(EN_FLOW),
                V: p.getLinkValues(EN_VELOCITY),
                S: p.getLinkValues(EN_STATUS),
            };
            writer.step(step);
            const ncode = EN._EN_nextH(h, ptr);
            step.tstep = EN.getValue(ptr, "i32");
            step.ncode = ncode;
            writer.next(step.tstep, ncode);
            rec.steps.push(step);
            if (step.tstep <= 0 || ncode >= 100 || code >= 100) break;
        }
        out.designs.push(rec);
    }
    return { dump: out, writer };
}

// EPANET on variants of the network that show how far its own round-off moves its results:
// every pipe length times (1 + e), a change of nothing physically, and the accuracy times (1 + e),
// which decides anew whether a period whose relative flow change round-off has put right at the
// accuracy takes one trial more (the results then move by EPANET's own convergence error).
const ROUND_OFF_VARIANTS = [
    { what: "length", e: 1e-14 },
    { what: "length", e: -1e-14 },
    { what: "length", e: 3e-14 },
    // Further off, still nothing physically (a nanometre a kilometre): periods with nodes cut
    // off by closed links, at heads of -1e7 ft, spread more with these (Net2 design 19 at 10:00,
    // pipe 29: -794.0 to -795.2 GPM, against -794.0 to -794.4 with the three above).
    { what: "length", e: 1e-12 },
    { what: "length", e: -1e-12 },
    { what: "accuracy", e: 0.005 },
    { what: "accuracy", e: -0.005 },
];
async function runVariants(file, info, designs, initFlag, variants = ROUND_OFF_VARIANTS) {
    const dumps = [];
    for (const { what, e } of variants) {
        const net = await openNetwork(file);
        const { EN, h, ptr } = net;
        if (what === "length") {
            info.links.forEach((l, j) => {
                if (l.type > 1) return; // pipes only
                EN._EN_getlinkvalue(h, j + 1, EN_LENGTH, ptr);
                EN._EN_setlinkvalue(h, j + 1, EN_LENGTH, EN.getValue(ptr, "double") * (1 + e));
            });
        } else {
            EN._EN_getoption(h, EN_ACCURACY, ptr);
            EN._EN_setoption(h, EN_ACCURACY, EN.getValue(ptr, "double") * (1 + e));
        }
        dumps.push(runDesigns(net, info, designs, initFlag).dump);
        closeNetwork(net);
    }
    return dumps;
}

function closeNetwork(net) {
    net.EN._free(net.ptr);
    net.EN._EN_close(net.h);
}

module.exports = { engine, runProject, openNetwork, networkInfo, runDesigns, runVariants, closeNetwork };
