#!/usr/bin/env node
"use strict";
// Writes a random but physically sensible variant of an EPANET network, for agreement probes
// on networks the oracle tests have not seen: valves in place of pipes, another head-loss
// formula, other time steps and clock start, a demand multiplier, emitters, pressure-driven
// demands, other tank sizes, controls and rules, solver options. Prints the changes made.
//
//   node mutate.js BASE.inp SEED OUT.inp
//   then: node oracle.js --network OUT.inp --dump kvepa2-dump --work DIR --designs 5
const fs = require("fs");
const { makeRng } = require("./lib/rng");

function main(argv) {
    if (argv.length !== 3) throw new Error("usage: mutate.js BASE.inp SEED OUT.inp");
    const [base, seedText, out] = argv;
    const rng = makeRng(Number(seedText));
    const uniform = (a, b) => a + (b - a) * rng.next();
    const randint = (a, b) => a + rng.below(b - a + 1);

    // Sections in file order; the text before the first header has the name "".
    const sections = [["", []]];
    for (const line of fs.readFileSync(base, "latin1").split(/\r?\n/)) {
        const m = /^\s*\[([A-Za-z]+)\]/.exec(line);
        if (m) sections.push([m[1].toUpperCase(), []]);
        else sections[sections.length - 1][1].push(line);
    }
    const sec = (name) => {
        const found = sections.find((s) => s[0] === name);
        if (found) return found[1];
        // Links must be read before the controls that name them.
        let at = sections.findIndex((s) => s[0] === "END");
        if (at < 0) at = sections.length;
        if (name === "VALVES") at = Math.max(...sections.map((s, i) => (s[0] === "PIPES" || s[0] === "PUMPS" ? i : -1))) + 1;
        sections.splice(at, 0, [name, []]);
        return sections[at][1];
    };
    const rows = (name) =>
        sec(name)
            .map((l) => l.split(";")[0].trim().split(/\s+/))
            .filter((t) => t[0]);
    const setKey = (section, key, value) => {
        const lines = sec(section);
        const i = lines.findIndex((l) => l.split(";")[0].trim().toUpperCase().startsWith(key));
        const text = ` ${key}\t${value}`;
        if (i >= 0) lines[i] = text;
        else lines.unshift(text);
    };
    const hm = (min) => `${Math.floor(min / 60)}:${String(min % 60).padStart(2, "0")}`;
    const log = [];

    const units = (rows("OPTIONS").find((r) => r[0].toUpperCase() === "UNITS") || ["", "GPM"])[1].toUpperCase();
    const si = ["LPS", "LPM", "MLD", "CMH", "CMD", "CMS"].includes(units);
    const pres = si ? 1 : 1.42;
    const junctions = rows("JUNCTIONS").map((r) => r[0]);
    const demands = rows("JUNCTIONS").filter((r) => r.length > 2).map((r) => Math.abs(Number(r[2])) || 0);
    const qscale = Math.max(1e-6, demands.reduce((a, b) => a + b, 0) / Math.max(1, demands.length));
    const tanks = rows("TANKS");
    const pumps = rows("PUMPS").map((r) => r[0]);
    let pipes = rows("PIPES").filter((r) => !(r.length > 7 && r[7].toUpperCase() === "CV"));
    const fixed = new Set([...tanks.map((r) => r[0]), ...rows("RESERVOIRS").map((r) => r[0])]);

    // Valves in place of pipes away from tanks and reservoirs.
    let inner = pipes.filter((p) => !fixed.has(p[1]) && !fixed.has(p[2]));
    if (inner.length && rng.chance(0.6)) {
        for (let v = randint(1, 3); v > 0 && inner.length; v--) {
            const p = rng.pick(inner);
            inner = inner.filter((x) => x !== p);
            pipes = pipes.filter((x) => x !== p);
            const kind = rng.pick(["PRV", "PSV", "FCV", "TCV", "PBV", "PRV", "FCV"]);
            const setting = {
                PRV: uniform(20, 60) * pres,
                PSV: uniform(10, 50) * pres,
                FCV: qscale * uniform(0.5, 5),
                TCV: uniform(0.5, 20),
                PBV: uniform(1, 15) * pres,
            }[kind];
            const drop = (name) => {
                const lines = sec(name);
                lines.splice(0, lines.length, ...lines.filter((l) => l.split(";")[0].trim().split(/\s+/)[0] !== p[0]));
            };
            drop("PIPES");
            drop("STATUS");
            sec("VALVES").push(` ${p[0]}\t${p[1]}\t${p[2]}\t${p[4]}\t${kind}\t${setting.toPrecision(4)}\t0`);
            log.push(`valve ${p[0]} ${kind} ${setting.toPrecision(4)}`);
        }
    }
    if (rng.chance(0.3)) {
        const form = rng.pick(["D-W", "C-M"]);
        setKey("OPTIONS", "HEADLOSS", form);
        const rough = form === "D-W" ? rng.pick([0.005, 0.05, 0.5, 1.5]) : rng.pick([0.011, 0.013, 0.015]);
        const lines = sec("PIPES");
        lines.forEach((l, i) => {
            const t = l.split(";")[0].trim().split(/\s+/);
            if (t.length >= 6) {
                t[5] = String(rough);
                lines[i] = " " + t.join("\t");
            }
        });
        log.push(`headloss ${form} ${rough}`);
    }
    const times = [
        ["HYDRAULIC TIMESTEP", 0.7, [10, 15, 20, 30, 45, 60, 90, 120]],
        ["PATTERN TIMESTEP", 0.4, [30, 45, 60, 120, 180]],
        ["PATTERN START", 0.3, [30, 60, 150, 300]],
        ["RULE TIMESTEP", 0.3, [5, 15, 30]],
        ["DURATION", 0.3, [720, 1440, 2160, 2880]],
    ];
    for (const [key, p, choices] of times)
        if (rng.chance(p)) {
            const v = hm(rng.pick(choices));
            setKey("TIMES", key, v);
            log.push(`${key.toLowerCase()} ${v}`);
        }
    if (rng.chance(0.4)) {
        const c = rng.pick(["6 AM", "3:30 PM", "11 PM", "12 AM"]);
        setKey("TIMES", "START CLOCKTIME", c);
        log.push(`clock ${c}`);
    }
    if (rng.chance(0.3)) {
        const m = rng.pick([0.5, 0.8, 1.2, 1.5]);
        setKey("OPTIONS", "DEMAND MULTIPLIER", String(m));
        log.push(`multiplier ${m}`);
    }
    if (junctions.length && rng.chance(0.3)) {
        for (let e = randint(1, 3); e > 0; e--) {
            const j = rng.pick(junctions);
            const c = (qscale * uniform(0.01, 0.1)).toPrecision(4);
            sec("EMITTERS").push(` ${j}\t${c}`);
            log.push(`emitter ${j} ${c}`);
        }
    }
    if (rng.chance(0.25)) {
        const pmin = rng.pick([0, 5, 10]);
        const preq = pmin + rng.pick([10, 20, 30]);
        setKey("OPTIONS", "DEMAND MODEL", "PDA");
        setKey("OPTIONS", "MINIMUM PRESSURE", String(pmin));
        setKey("OPTIONS", "REQUIRED PRESSURE", String(preq));
        setKey("OPTIONS", "PRESSURE EXPONENT", "0.5");
        log.push(`pda ${pmin} ${preq}`);
    }
    if (tanks.length && rng.chance(0.4)) {
        const lines = sec("TANKS");
        lines.forEach((l, i) => {
            const t = l.split(";")[0].trim().split(/\s+/);
            if (t.length >= 6 && rng.chance(0.7)) {
                const f = rng.pick([0.5, 0.7, 1.5, 2]);
                t[5] = String(Number(t[5]) * f);
                lines[i] = " " + t.join("\t");
                log.push(`tank ${t[0]} diameter x${f}`);
            }
        });
    }
    const links = [...pipes.map((p) => p[0]), ...pumps];
    if (links.length && rng.chance(0.6)) {
        for (let c = randint(1, 3); c > 0; c--) {
            const kind = rng.next();
            let text;
            if (pumps.length && kind < 0.3) {
                text = `LINK ${rng.pick(pumps)} ${rng.pick(["CLOSED", "OPEN", "0.8", "1.2"])} AT TIME ${randint(1, 20)}`;
            } else if (tanks.length && kind < 0.7) {
                const t = rng.pick(tanks);
                const level = Number(t[3]) + (Number(t[4]) - Number(t[3])) * uniform(0.1, 0.9);
                text = `LINK ${rng.pick(links)} ${rng.pick(["OPEN", "CLOSED"])} IF NODE ${t[0]} ${rng.pick(["ABOVE", "BELOW"])} ${level.toFixed(3)}`;
            } else {
                text = `LINK ${rng.pick(links)} ${rng.pick(["OPEN", "CLOSED"])} AT CLOCKTIME ${randint(1, 12)} ${rng.pick(["AM", "PM"])}`;
            }
            sec("CONTROLS").push(" " + text);
            log.push(text);
        }
    }
    if (tanks.length && links.length && rng.chance(0.3)) {
        const t = rng.pick(tanks);
        const link = rng.pick(links);
        const kind = pumps.includes(link) ? "PUMP" : "PIPE";
        const level = Number(t[3]) + (Number(t[4]) - Number(t[3])) * uniform(0.3, 0.9);
        sec("RULES").push(
            "",
            `RULE PROBE${rng.below(1000)}`,
            `IF TANK ${t[0]} LEVEL ABOVE ${level.toFixed(3)}`,
            `AND SYSTEM CLOCKTIME >= ${randint(1, 11)} AM`,
            `THEN ${kind} ${link} STATUS IS CLOSED`,
            `ELSE ${kind} ${link} STATUS IS OPEN`,
            `PRIORITY ${randint(1, 5)}`,
        );
        log.push(`rule on ${link} by tank ${t[0]}`);
    }

    // Drawn after everything else, so that a seed still gives the variant it gave before.
    if (rng.chance(0.4)) {
        const solver = [
            ["ACCURACY", [0.01, 0.005, 0.0001]],
            ["TRIALS", [20, 100]],
            ["CHECKFREQ", [1, 3, 5]],
            ["MAXCHECK", [3, 20]],
            ["DAMPLIMIT", [0.01, 0.05]],
            ["HEADERROR", [0.01, 0.1]],
            ["FLOWCHANGE", [Number((qscale * 0.01).toPrecision(3))]],
        ];
        for (let c = randint(1, 3); c > 0; c--) {
            const [key, choices] = rng.pick(solver);
            const v = rng.pick(choices);
            setKey("OPTIONS", key, String(v));
            log.push(`${key.toLowerCase()} ${v}`);
        }
    }
    if (junctions.length && links.length && rng.chance(0.3)) {
        const j = rng.pick(junctions);
        const op = rng.pick(["<", "<=", ">", ">=", "BELOW", "ABOVE"]);
        const pressure = (uniform(10, 60) * pres).toFixed(3);
        const link = rng.pick(links);
        const action = pumps.includes(link)
            ? `PUMP ${link} SETTING IS ${rng.pick(["0.7", "0.9", "1.1"])}`
            : `PIPE ${link} STATUS IS ${rng.pick(["OPEN", "CLOSED"])}`;
        sec("RULES").push("", `RULE PRESS${rng.below(1000)}`, `IF JUNCTION ${j} PRESSURE ${op} ${pressure}`, `THEN ${action}`);
        log.push(`rule ${j} pressure ${op} ${pressure}: ${action}`);
    }

    if (junctions.length && links.length && rng.chance(0.3)) {
        const j = rng.pick(junctions);
        const p = (uniform(20, 60) * pres).toFixed(3);
        const text = `LINK ${rng.pick(links)} ${rng.pick(["OPEN", "CLOSED"])} IF NODE ${j} ${rng.pick(["ABOVE", "BELOW"])} ${p}`;
        sec("CONTROLS").push(" " + text);
        log.push(text);
    }

    const text = sections.map(([name, lines]) => (name ? `[${name}]\n` : "") + lines.map((l) => l + "\n").join("")).join("");
    fs.writeFileSync(out, text);
    console.log(log.length ? log.join("; ") : "(none)");
}

try {
    main(process.argv.slice(2));
} catch (e) {
    console.error(`mutate: ${e.message}`);
    process.exit(1);
}
