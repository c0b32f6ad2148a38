#!/usr/bin/env node
"use strict";
// Runs one network through the real EPANET (epanet-js) and through kvepa2 (kvepa2-dump), with the
// base model and random designs, and compares every hydraulic step. Also runs the files our
// ENsaveinpfile wrote through EPANET and compares them with our results.
//
//   node oracle.js --network N.inp --dump kvepa2-dump --work DIR [--designs 50] [--seed 1]
//                  [--save-every 10] [--epanet-init 11] [--ours-init 1] [--ours-api legacy|project]
//                  [--fraction F] [--invalid P] [--close P] [--strict]
//                  [--only K] [--epanet-only]
// --only K runs design K alone (the same design as in the full sequence), for a closer look.
// Exit codes: 0 agreement, 1 disagreement or failure, 77 skipped (epanet-js not installed).
const fs = require("fs");
const path = require("path");
const { spawnSync } = require("child_process");

const SKIP = 77;

function parseArgs(argv) {
    const a = { designs: 50, seed: 1, saveEvery: 10, epanetInit: 11, oursInit: 1, oursApi: "legacy", epanetOnly: false, variants: true };
    for (let i = 0; i < argv.length; i++) {
        const key = argv[i];
        const val = () => {
            if (i + 1 >= argv.length) throw new Error(`${key} needs a value`);
            return argv[++i];
        };
        if (key === "--network") a.network = val();
        else if (key === "--dump") a.dump = val();
        else if (key === "--work") a.work = val();
        else if (key === "--designs") a.designs = Number(val());
        else if (key === "--seed") a.seed = Number(val());
        else if (key === "--save-every") a.saveEvery = Number(val());
        else if (key === "--epanet-init") a.epanetInit = Number(val());
        else if (key === "--ours-init") a.oursInit = Number(val());
        else if (key === "--fraction") a.fraction = Number(val());
        else if (key === "--invalid") a.pInvalid = Number(val());
        else if (key === "--strict") a.variants = false;
        else if (key === "--close") a.pClose = Number(val());
        else if (key === "--ours-api") a.oursApi = val();
        else if (key === "--only") a.only = Number(val());
        else if (key === "--epanet-only") a.epanetOnly = true;
        else throw new Error(`unknown argument '${key}'`);
    }
    if (!a.network || !a.work || (!a.dump && !a.epanetOnly)) throw new Error("--network, --work and --dump are required");
    if (!(a.designs >= 0) || !(a.saveEvery >= 0)) throw new Error("--designs and --save-every must be counts");
    return a;
}

function epanetInstalled() {
    try {
        require.resolve("epanet-js");
        return true;
    } catch {
        return false;
    }
}

function runOurs(args, designsFile, outFile, saveList) {
    const argv = [args.network, designsFile, outFile, "--init", String(args.oursInit), "--api", args.oursApi];
    if (saveList.length) argv.push("--save", saveList.join(","), "--save-dir", args.work);
    const r = spawnSync(args.dump, argv, { encoding: "utf8", timeout: 240000 });
    if (r.error) throw new Error(`cannot run ${args.dump}: ${r.error.message}`);
    if (r.status !== 0) {
        const why = r.signal ? `killed by ${r.signal}` : `exit code ${r.status}`;
        throw new Error(`kvepa2-dump failed (${why}):\n${(r.stderr || "").slice(0, 4000)}`);
    }
}

async function main() {
    const args = parseArgs(process.argv.slice(2));
    if (!epanetInstalled()) {
        console.log(`SKIPPED: epanet-js is not installed in ${__dirname}/node_modules (run scripts/install-deps)`);
        return SKIP;
    }
    const epanet = require("./lib/epanet");
    const { makeDesigns, writeDesigns } = require("./lib/designs");
    const { parseDump, inOrderOf } = require("./lib/format");
    const { compareDumps, report, pipeData } = require("./lib/compare");
    const { seedFrom } = require("./lib/rng");

    fs.mkdirSync(args.work, { recursive: true });
    const name = path.basename(args.network, path.extname(args.network));
    const net = await epanet.openNetwork(args.network);
    const info = epanet.networkInfo(net);
    const made = makeDesigns({ name, ...info }, args.designs, seedFrom(name, args.seed), { fraction: args.fraction, pInvalid: args.pInvalid, pClose: args.pClose });
    const designPipes = made.designPipes;
    const designs = args.only === undefined ? made.designs : made.designs.filter((d) => d.k === args.only);
    if (!designs.length) throw new Error(`there is no design ${args.only}`);
    const designsFile = path.join(args.work, "designs.txt");
    writeDesigns(designsFile, designs);

    const t0 = Date.now();
    const epanetCode = await epanet.runProject(args.network);
    const ref = epanet.runDesigns(net, info, designs, args.epanetInit, epanetCode);
    epanet.closeNetwork(net);
    ref.writer.save(path.join(args.work, "epanet.dump"));
    const variants = args.variants ? await epanet.runVariants(args.network, info, designs, args.epanetInit) : [];
    const negative = ref.dump.designs.filter((d) => d.steps.some((s) => s.code === 6)).length;
    console.log(`${name}: ${info.nodes.length} nodes, ${info.links.length} links, ${designPipes.length} design pipes; ` +
        `${designs.length} designs (${negative} with negative pressures), ${ref.dump.designs.reduce((n, d) => n + d.steps.length, 0)} steps; EPANET ${Date.now() - t0} ms`);
    if (args.epanetOnly) return 0;

    const saveList = args.saveEvery > 0 ? designs.filter((d) => d.k % args.saveEvery === 0).map((d) => d.k) : [];
    const oursFile = path.join(args.work, "kvepa2.dump");
    // Nothing left from an earlier run may stand in for what this run should write.
    for (const f of fs.readdirSync(args.work)) if (f === "kvepa2.dump" || /^saved-\d+\.inp$/.test(f)) fs.rmSync(path.join(args.work, f));
    const t1 = Date.now();
    runOurs(args, designsFile, oursFile, saveList);
    const ours = parseDump(fs.readFileSync(oursFile, "utf8"), oursFile);
    console.log(`kvepa2 ${Date.now() - t1} ms`);

    let ok = true;
    const judged = args.variants ? { variants, flowUnits: info.flowUnits, pipes: pipeData(info, designs), pda: info.pda } : {};
    const result = compareDumps(ref.dump, ours, `${name} designs`, judged);
    console.log(report(result));
    fs.writeFileSync(path.join(args.work, "report.txt"), report(result, 2000) + "\n");
    ok = ok && result.ok;

    for (const k of saveList) {
        const saved = path.join(args.work, `saved-${k}.inp`);
        if (!fs.existsSync(saved)) {
            console.log(`${name} saved file of design ${k}: ${saved} was not written`);
            ok = false;
            continue;
        }
        let checks;
        try {
            const sn = await epanet.openNetwork(saved);
            const si = epanet.networkInfo(sn);
            const sr = epanet.runDesigns(sn, si, [{ k, sets: [] }], args.epanetInit);
            epanet.closeNetwork(sn);
            sr.dump = inOrderOf(sr.dump, ref.dump);
            const refK = { nodes: ref.dump.nodes, links: ref.dump.links, designs: ref.dump.designs.filter((d) => d.k === k) };
            checks = [
                // What the program relies on: EPANET on our file gives our results.
                // EPANET on the file equals EPANET with the design set (the check below), so the
                // variants of the latter judge this one too.
                compareDumps(sr.dump, ours, `${name} saved file of design ${k}: EPANET on it ("EPANET") vs ours`, { ...judged, ignoreSetCodes: true }),
                // Pins faults on the writer alone: EPANET on our file vs EPANET with the design set.
                compareDumps(refK, sr.dump, `${name} saved file of design ${k}: EPANET with the design set ("EPANET") vs EPANET on the file ("ours")`, { ...judged, ignoreSetCodes: true }),
            ];
        } catch (e) {
            console.log(`${name} saved file of design ${k}: ${e.message}`);
            ok = false;
            continue;
        }
        for (const c of checks) {
            console.log(report(c, 10));
            ok = ok && c.ok;
        }
    }
    return ok ? 0 : 1;
}

main().then(
    (code) => process.exit(code),
    (e) => {
        console.error(`oracle: ${e.message}`);
        process.exit(1);
    },
);
