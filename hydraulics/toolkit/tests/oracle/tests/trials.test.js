"use strict";
// The trial-log comparison reads EPANET's wording and finds the first trial that differs.
const test = require("node:test");
const assert = require("node:assert");
const { withFullStatus, parseReport, firstDifference } = require("../trials");

const report = (second) => `
     0:00:00: Balancing the network:

              Trial  1: relative flow change = 0.970041
              PSV A6 switched from closed to open
              Trial  2: relative flow change = ${second}
                        maximum  flow change = 0.0755 for Link A4

     0:00:00: Balanced after 2 trials
  WARNING: FCV A4 open but cannot deliver flow at 0:00:00 hrs.
     1:30:00: Balancing the network:
              Trial  1: relative flow change = 0.000000
     1:30:00: Balanced after 1 trials
`;

test("a report's periods hold their trials and switches in order, nothing else", () => {
    const periods = parseReport(report("0.000205"));
    assert.deepStrictEqual(
        periods.map((p) => [p.t, p.items.map((i) => (i.kind === "T" ? [i.n, i.v] : i.text))]),
        [
            [0, [[1, 0.970041], "PSV A6 switched from closed to open", [2, 0.000205]]],
            [5400, [[1, 0]]],
        ],
    );
});

test("changes agree within round-off; another change, switch or trial count differs", () => {
    const ref = parseReport(report("0.000205"));
    assert.strictEqual(firstDifference(ref, parseReport(report("0.000207"))), null);
    assert.match(firstDifference(ref, parseReport(report("0.000305"))), /0:00:00: EPANET "Trial  2/);
    assert.match(firstDifference(ref, parseReport(report("0.000205").replace("to open", "to active"))), /switched/);
    assert.match(firstDifference(ref, parseReport(report("0.000205").replace(/ +1:30:00: Balancing[\s\S]*/, ""))), /has no more/);
});

test("a full status report is asked for whether or not the file has a [REPORT] section", () => {
    assert.match(withFullStatus("[JUNCTIONS]\nJ 0\n[END]\n"), /\[REPORT\]\nSTATUS FULL\n\[END\]/);
    const kept = withFullStatus("[REPORT]\n Status No\n Summary No\n[END]\nafter\n");
    assert.doesNotMatch(kept, /Status No/);
    assert.match(kept, /\[REPORT\]\nSTATUS FULL\n Summary No/);
    assert.strictEqual((kept.match(/STATUS FULL/g) || []).length, 1);
});
