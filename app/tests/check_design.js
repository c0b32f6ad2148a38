#!/usr/bin/env node
"use strict";
// Simulates a network file with the real EPANET (epanet-js) over its whole
// period and prints, per junction, the lowest pressure seen, per pipe its
// diameter and length, and every non-zero code of a hydraulic step:
//   junction <id> <lowest pressure>
//   pipe <id> <diameter> <length>
//   code <time> <code>
//   node check_design.js NETWORK.inp NODE_MODULES_DIR
// Exit codes: 0 done, 1 failure, 77 epanet-js not installed.
const fs = require("fs");
const path = require("path");

async function main() {
    const [file, modules] = process.argv.slice(2);
    if (!file || !modules) {
        console.error("usage: node check_design.js NETWORK.inp NODE_MODULES_DIR");
        return 1;
    }
    let epanet;
    try {
        epanet = require(path.join(modules, "epanet-js"));
    } catch {
        console.log(`SKIPPED: epanet-js is not installed in ${modules}`);
        return 77;
    }
    const { Workspace, Project } = epanet;
    const ws = new Workspace();
    await ws.loadModule();
    const p = new Project(ws);
    ws.writeFile("net.inp", fs.readFileSync(file));
    try {
        p.open("net.inp", "net.rpt", "");
    } catch (e) {
        let detail = "";
        try {
            p.close();
        } catch {
            // the report is complete once the project is closed
        }
        try {
            detail = ws.readFile("net.rpt").split("\n").filter((l) => /Error/.test(l)).slice(0, 10).join("\n");
        } catch {
            // no report written
        }
        console.error(`EPANET cannot open ${path.basename(file)}: ${e.message}\n${detail}`);
        return 1;
    }
    const EN_NODECOUNT = 0, EN_LINKCOUNT = 2, EN_PRESSURE = 11, EN_DIAMETER = 0, EN_LENGTH = 1;
    const nodes = p.getCount(EN_NODECOUNT);
    const lowest = new Map();
    for (let i = 1; i <= nodes; i++) {
        if (p.getNodeType(i) === 0) lowest.set(i, Infinity);
    }
    p.openH();
    p.initH(0);
    for (let n = 0; n < 100000; n++) {
        let t;
        try {
            t = p.runH();
        } catch (e) {
            console.log(`code ${n} ${e.message.replace(/\s+/g, "_")}`);
            break;
        }
        for (const i of lowest.keys()) lowest.set(i, Math.min(lowest.get(i), p.getNodeValue(i, EN_PRESSURE)));
        if (p.nextH() <= 0) break;
    }
    for (const [i, v] of lowest) console.log(`junction ${p.getNodeId(i)} ${v}`);
    const links = p.getCount(EN_LINKCOUNT);
    for (let i = 1; i <= links; i++) {
        if (p.getLinkType(i) <= 1) {
            console.log(`pipe ${p.getLinkId(i)} ${p.getLinkValue(i, EN_DIAMETER)} ${p.getLinkValue(i, EN_LENGTH)}`);
        }
    }
    p.closeH();
    p.close();
    return 0;
}

main().then(
    (code) => process.exit(code),
    (e) => {
        console.error(e && e.stack ? e.stack : String(e));
        process.exit(1);
    },
);
