#!/usr/bin/env node
// Writes oracle_fixtures.txt: seeded random daily price series and, for each, the moving
// averages, rate of change and slow stochastic as computed by the npm package
// technicalindicators (an independent, widely used implementation). OracleTest.cpp reads the
// file, so the tests need neither node nor the network; run this script again only to change
// the series:  node tests/engine/make_oracle_fixtures.js
//
// The package is installed into a scratch folder that is removed afterwards.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const PACKAGE = 'technicalindicators@3.1.0';
const SEED = 20240521;
const SERIES = 300;
const HIGH_PRICED = 30; // the last series trade between 10000 and 90000
const MA_PERIODS = [5, 10, 30, 50, 200];
const OUTPUT = path.join(__dirname, 'oracle_fixtures.txt');

// mulberry32: a small seeded generator, so that the fixtures can be made again exactly.
function makeRandom(seed) {
    let a = seed >>> 0;
    return function () {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

// Rounds to the quote server's usual precision and returns the text the server would send.
function priceText(value) {
    const decimals = value < 1 ? 4 : 2;
    return String(Number(value.toFixed(decimals)));
}

// One series, oldest day first: random walk with daily ranges, prices kept inside [min, max].
function makeSeries(random, days, min, max) {
    const logMin = Math.log(min * 4);
    const logMax = Math.log(max / 4);
    let price = Math.exp(logMin + random() * (logMax - logMin));
    const volatility = 0.005 + random() * 0.05;
    const rows = [];
    for (let d = 0; d < days; d++) {
        const open = price;
        price = Math.min(max / 2, Math.max(min * 2, price * Math.exp((random() - 0.5) * 2 * volatility)));
        const close = price;
        const high = Math.min(max, Math.max(open, close) * (1 + random() * volatility));
        const low = Math.max(min, Math.min(open, close) * (1 - random() * volatility));
        const h = priceText(high), l = priceText(low);
        let c = priceText(close);
        // Rounding may put the close a hair outside its day's range; keep the day consistent.
        if (Number(c) > Number(h)) c = h;
        if (Number(c) < Number(l)) c = l;
        rows.push({ high: h, low: l, close: c });
    }
    return rows;
}

function install() {
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'oracle-'));
    execFileSync('npm', ['install', '--prefix', scratch, '--no-audit', '--no-fund', '--silent', PACKAGE],
        { stdio: 'inherit' });
    return scratch;
}

function main() {
    const scratch = install();
    try {
        const ti = require(path.join(scratch, 'node_modules', 'technicalindicators'));
        const random = makeRandom(SEED);
        const out = [
            '# Made by make_oracle_fixtures.js with ' + PACKAGE + ', seed ' + SEED + '.',
            '# "series <n> rows <count>", then one line per row, today first: high low close.',
            '# "sma <period> <day 1> <day 2> <day 3>" (day 1 ends with today), "roc21 <value>",',
            '# "stoch <slow %K> <slow %D>"; an average is left out when the series is too short.',
        ];
        for (let n = 1; n <= SERIES; n++) {
            const highPriced = n > SERIES - HIGH_PRICED;
            const days = 50 + Math.floor(random() * 181); // 50..230 rows
            const series = highPriced ? makeSeries(random, days, 10000, 90000) : makeSeries(random, days, 0.01, 9999);
            const high = series.map((r) => Number(r.high));
            const low = series.map((r) => Number(r.low));
            const close = series.map((r) => Number(r.close));

            out.push('series ' + n + ' rows ' + days);
            for (let i = days - 1; i >= 0; i--)
                out.push(series[i].high + ' ' + series[i].low + ' ' + series[i].close);

            for (const period of MA_PERIODS) {
                const sma = ti.SMA.calculate({ period, values: close });
                if (sma.length >= 3) // the three most recent, today's first
                    out.push('sma ' + period + ' ' + sma.slice(-3).reverse().join(' '));
            }
            // Its period 20 is today against the close 20 rows back: our period 21.
            const roc = ti.ROC.calculate({ period: 20, values: close });
            out.push('roc21 ' + roc[roc.length - 1]);

            // Per row: k is the raw %K over 15 rows, d its three-row average (our slow %K);
            // the average of the last three d is our slow %D.
            const stoch = ti.Stochastic.calculate({ high, low, close, period: 15, signalPeriod: 3 });
            const d = stoch.slice(-3).map((s) => s.d);
            if (d.some((v) => v === undefined || !isFinite(v)))
                throw new Error('series ' + n + ': no stochastic');
            out.push('stoch ' + d[2] + ' ' + (d[2] + d[1] + d[0]) / 3);
        }
        fs.writeFileSync(OUTPUT, out.join('\n') + '\n');
        console.log('wrote ' + OUTPUT);
    } finally {
        fs.rmSync(scratch, { recursive: true, force: true });
    }
}

main();
