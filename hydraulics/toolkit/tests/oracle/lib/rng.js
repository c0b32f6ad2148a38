"use strict";
// Small seeded generator (mulberry32): the same seed gives the same designs on every machine.
function makeRng(seed) {
    let a = seed >>> 0;
    const next = () => {
        a = (a + 0x6d2b79f5) | 0;
        let t = Math.imul(a ^ (a >>> 15), 1 | a);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    return {
        next,
        below: (n) => Math.floor(next() * n),
        pick: (list) => list[Math.floor(next() * list.length)],
        chance: (p) => next() < p,
    };
}

// A stable 32-bit seed from a text, so every network gets its own design sequence.
function seedFrom(text, base) {
    let h = (base ^ 0x811c9dc5) >>> 0;
    for (const ch of text) h = Math.imul(h ^ ch.charCodeAt(0), 16777619) >>> 0;
    return h;
}

module.exports = { makeRng, seedFrom };
