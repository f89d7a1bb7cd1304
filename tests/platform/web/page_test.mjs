// The web page tried the way a viewer tries it, in the system's headless Chromium driven by
// puppeteer-core: the site is served from 127.0.0.1 by a small server of the test's own (which
// can be told to lose a file), and each case loads the page as a viewer would.
// Usage: node page_test.mjs SITE_DIR GROUP
//   flow      load, first words, a click while loading, the clock, Space, the slider with the
//             pointer and its keys, the address while paused, Escape and Enter; a phone with
//             touch, playing from #t=; a key while loading with sound refused
//   messages  the file-system message, no JavaScript, bad addresses, times past the end, a
//             failed download, no WebGL
// Exits 0 when every case passed, 1 when one failed, 77 (skipped) when Chromium or
// puppeteer-core is missing, naming what is missing.
import path from "node:path";

import { DESKTOP, PHONE, importBrowser, launch, openTab, serve, sleep, visible, waitFor } from "./browser.mjs";

const SKIPPED = 77;
const MIN_TEXT_PX = 16;
const FIRST_WORDS_MS = 500;

const [siteDir, group] = process.argv.slice(2);
if (!siteDir || !["flow", "messages"].includes(group)) {
  console.error("usage: node page_test.mjs SITE_DIR flow|messages");
  process.exit(2);
}
const missing = await importBrowser();
if (missing) {
  console.log("skipped: " + missing);
  process.exit(SKIPPED);
}

const messageTexts = (tab) => tab.$$eval(".message", (boxes) => boxes.map((box) => box.textContent));

// The smallest text of the elements: [font size, height] in CSS pixels.
const smallestText = (tab, selector) => tab.$$eval(selector, (elements) => elements.map((element) => {
  const box = element.getBoundingClientRect();
  return [parseFloat(getComputedStyle(element).fontSize), box.height];
}).reduce((least, sizes) => [Math.min(least[0], sizes[0]), Math.min(least[1], sizes[1])], [1e9, 1e9]));

// The last frame the demo reported: {ms, paused, at}.
const lastFrame = (tab) => tab.evaluate(() => Module.page.lastFrame);

// The share of the page's pixels that are lit (any channel above a tenth of full scale).
async function litShare(tab) {
  const png = await tab.screenshot({ type: "png", encoding: "base64" });
  return tab.evaluate(async (data) => {
    const picture = new Image();
    picture.src = "data:image/png;base64," + data;
    await picture.decode();
    const canvas = document.createElement("canvas");
    canvas.width = picture.width;
    canvas.height = picture.height;
    const context = canvas.getContext("2d");
    context.drawImage(picture, 0, 0);
    const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
    let lit = 0;
    for (let i = 0; i < pixels.length; i += 4)
      if (Math.max(pixels[i], pixels[i + 1], pixels[i + 2]) > 25) lit += 1;
    return lit / (pixels.length / 4);
  }, png);
}

// ---- Cases ----

const failures = [];
let passed = 0;

function expect(condition, what) {
  if (!condition) throw new Error(what);
}

async function runCase(name, body) {
  const started = Date.now();
  try {
    await body();
    passed += 1;
    console.log(`ok    ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (error) {
    failures.push(name);
    console.log(`FAIL  ${name}: ${error.message}`);
  }
}

async function flowCases(browser, base) {
  await runCase("a normal load: first words, a click while loading, the clock, Space, the slider, the address, Escape, Enter", async () => {
    const tab = await openTab(browser, DESKTOP);
    await tab.goto(base + "index.html", { waitUntil: "domcontentloaded" });
    // The first words are painted within half a second of the page's HTML arriving.
    const paint = await tab.evaluate(() => new Promise((resolve) => {
      const navigation = performance.getEntriesByType("navigation")[0];
      new PerformanceObserver((list, observer) => {
        const first = list.getEntries().find((entry) => entry.name === "first-contentful-paint");
        if (first) { observer.disconnect(); resolve(first.startTime - navigation.responseStart); }
      }).observe({ type: "paint", buffered: true });
    }));
    expect(paint < FIRST_WORDS_MS, `the first words came ${paint.toFixed(0)} ms after the HTML`);
    const words = await tab.$eval("#loading", (element) => element.textContent);
    expect(/\.quellDrift/.test(words) && /Loading|Downloading|Starting/.test(words), "no loading words: " + words);
    // A click while loading is remembered: the demo plays without a Play button.
    await tab.mouse.click(400, 300);
    await waitFor(tab, "Module.page.lastFrame !== null");
    expect(!(await tab.evaluate(visible("#play"))), "the Play button showed after a click while loading");
    const first = await lastFrame(tab);
    await sleep(1500);
    const later = await lastFrame(tab);
    expect(later.ms > first.ms + 500, `the clock stood: ${first.ms} then ${later.ms} ms`);
    expect(!later.paused, "the demo says it is paused");
    // Space pauses: the clock stands, and the address shows where.
    await tab.keyboard.press("Space");
    await waitFor(tab, "Module.page.lastFrame.paused", 10000);
    const paused = await lastFrame(tab);
    await sleep(1000);
    const stillPaused = await lastFrame(tab);
    expect(stillPaused.paused && stillPaused.ms === paused.ms && stillPaused.at > paused.at,
           `paused at ${paused.ms} ms, then ${JSON.stringify(stillPaused)}`);
    const hash = await tab.evaluate(() => window.location.hash);
    expect(Math.abs(Number(hash.replace("#t=", "")) * 1000 - paused.ms) < 1, `paused at ${paused.ms} ms, the address says ${hash}`);
    // The slider: a click just after scene 4's mark goes there and stays paused; Page Down on
    // the focused slider goes on to scene 5's start.
    await tab.mouse.move(400, 300);
    await waitFor(tab, visible("#bar:not(.hidden)"), 5000);
    const marks = await tab.$$eval("#seek .mark", (elements) => elements.map((element) => element.getBoundingClientRect().toJSON()));
    expect(marks.length === 9, `${marks.length} scene marks`);
    await tab.mouse.click(marks[4].x + 4, marks[4].y + marks[4].height / 2);
    await waitFor(tab, "Module.page.lastFrame.ms > 107800 && Module.page.lastFrame.ms < 112000", 10000);
    expect((await lastFrame(tab)).paused, "the seek let the demo play on");
    expect(await tab.evaluate(() => document.activeElement.id === "seek"), "the slider has no focus");
    await tab.keyboard.press("PageDown");
    await waitFor(tab, "Math.abs(Module.page.lastFrame.ms - 134000) < 100", 10000);
    const slider = await tab.$eval("#seek", (element) => [element.getAttribute("role"), element.getAttribute("aria-valuenow"), element.getAttribute("aria-valuetext")]);
    expect(slider[0] === "slider" && slider[1] === "134" && /2:14, scene 5/.test(slider[2]), "the slider says " + slider.join(", "));
    // Space plays on from there.
    await tab.keyboard.press("Space");
    await waitFor(tab, "!Module.page.lastFrame.paused && Module.page.lastFrame.ms > 134500", 10000);
    expect(await tab.evaluate(() => window.location.hash === ""), "the address keeps a time while playing");
    // Escape goes back to the Play button, which has the focus; Enter presses it.
    await tab.keyboard.press("Escape");
    await waitFor(tab, visible("#play"), 10000);
    expect(await tab.evaluate(() => document.activeElement.id === "play"), "the Play button has no focus");
    const before = (await lastFrame(tab)).at;
    await tab.keyboard.press("Enter");
    await waitFor(tab, `Module.page.lastFrame.at > ${before}`, 10000);
    expect(!(await tab.evaluate(visible("#play"))), "the Play button stayed after Enter");
    expect((await lastFrame(tab)).ms < 5000, "Play after Escape does not start from the start");
    expect(tab.problems.length === 0, "the console shows: " + tab.problems.join("; "));
    await tab.close();
  });

  await runCase("a phone at #t=150: the Play button and the bar are large enough, a tap plays from there and shows the bar", async () => {
    const tab = await openTab(browser, PHONE);
    await tab.goto(base + "index.html#t=150");
    await waitFor(tab, visible("#play"));
    const from = await tab.$eval("#ready-from", (element) => element.textContent);
    expect(/2:30/.test(from), "the Play button does not say where it plays from: " + from);
    const button = await tab.$eval("#play", (element) => element.getBoundingClientRect().toJSON());
    const [font] = await smallestText(tab, "#play, #ready .small");
    expect(button.height >= 44 && font >= MIN_TEXT_PX, `Play is ${button.height} px tall with ${font} px text`);
    await tab.touchscreen.tap(button.x + button.width / 2, button.y + button.height / 2);
    await waitFor(tab, "Module.page.lastFrame !== null", 20000);
    const first = await lastFrame(tab);
    expect(first.ms >= 150000 && first.ms < 152000, `the first frame after Play is at ${first.ms} ms`);
    await sleep(3000);  // the bar hides when nothing happens
    expect(!(await tab.evaluate(visible("#bar:not(.hidden)"))), "the bar stays without input");
    await tab.touchscreen.tap(195, 300);
    await waitFor(tab, visible("#bar:not(.hidden)"), 10000);
    const [barFont] = await smallestText(tab, "#time");
    const controls = await tab.$$eval("#controls button, #seek", (elements) =>
      Math.min(...elements.map((element) => element.getBoundingClientRect().height)));
    expect(barFont >= MIN_TEXT_PX && controls >= 32, `bar text ${barFont} px, controls ${controls} px`);
    expect(tab.problems.length === 0, "the console shows: " + tab.problems.join("; "));
    await tab.close();
  });

  await runCase("a key while loading, sound refused: the demo plays in silence and says so", async () => {
    // A browser that never lets the audio context run.
    const tab = await openTab(browser, DESKTOP, () => {
      const Context = window.AudioContext;
      Object.defineProperty(Context.prototype, "state", { get: () => "suspended" });
      Context.prototype.resume = () => new Promise(() => {});
    });
    await tab.goto(base + "index.html", { waitUntil: "domcontentloaded" });
    await tab.keyboard.press("k");
    await waitFor(tab, "document.querySelector('.message.notice') !== null");
    expect(!(await tab.evaluate(visible("#play"))), "the Play button showed after a key while loading");
    const texts = await messageTexts(tab);
    expect(/Sound is off/.test(texts.join()), "no word about the sound: " + texts.join());
    const first = await lastFrame(tab);
    await sleep(1500);
    expect((await lastFrame(tab)).ms > first.ms + 500, "the silent clock stands");
    await tab.close();
  });
}

async function messageCases(browser, base, lostDataBase) {
  await runCase("opened from the file system: the page says to serve it with scripts/web --serve", async () => {
    const tab = await openTab(browser, PHONE);
    await tab.goto("file://" + path.resolve(siteDir, "index.html"));
    await waitFor(tab, "document.querySelector('.message') !== null", 5000);
    const texts = await messageTexts(tab);
    expect(texts.some((text) => /file system/.test(text) && /scripts\/web --serve/.test(text)), texts.join());
    const [font, height] = await smallestText(tab, ".message p");
    expect(font >= MIN_TEXT_PX && height >= MIN_TEXT_PX, `message text ${font} px, lines ${height} px`);
    await tab.close();
  });

  await runCase("without JavaScript the page says to turn it on, and nothing else", async () => {
    const tab = await openTab(browser, PHONE);
    await tab.setJavaScriptEnabled(false);
    await tab.goto(base + "index.html");
    const words = await tab.evaluate(() => document.body.innerText);
    expect(/Turn JavaScript on/.test(words) && !/Loading/.test(words), "the page shows: " + words);
    await tab.close();
  });

  await runCase("bad addresses each get a message that names the value", async () => {
    const tab = await openTab(browser, PHONE);
    for (const [hash, shown] of [["#at=-1", "#at=-1"], ["#at=abc", "#at=abc"], ["#at=1e309", "#at=1e309"],
                                 ["#at=", "#at= "], ["#at=5000&fps=0", "&fps=0"],
                                 ["#at=5000&fps=100000", "&fps=100000"], ["#t=x", "#t=x"],
                                 ["#at=%E0%A4%A", "#at=%E0%A4%A"]]) {
      await tab.goto("about:blank");
      await tab.goto(base + "index.html" + hash, { waitUntil: "domcontentloaded" });
      await waitFor(tab, "document.querySelector('.message') !== null", 5000);
      const texts = await messageTexts(tab);
      expect(texts.some((text) => text.includes(shown)), `${hash}: ${texts.join()}`);
      const [font] = await smallestText(tab, ".message p");
      expect(font >= MIN_TEXT_PX, `${hash}: message text ${font} px`);
    }
    await tab.close();
  });

  await runCase("a time past the end draws the black end frame, however far", async () => {
    const tab = await openTab(browser, { width: 640, height: 480 });
    for (const ms of ["230000", "24447887", "99999999999999999999"]) {
      await tab.goto("about:blank");
      await tab.goto(base + "index.html#at=" + ms);
      await waitFor(tab, "document.title.endsWith('[still]')");
      const lit = await litShare(tab);
      expect(lit === 0, `#at=${ms}: the picture is not black (${(lit * 100).toFixed(2)} % of it lit)`);
    }
    expect(tab.problems.length === 0, "the console shows: " + tab.problems.join("; "));
    await tab.close();
  });

  await runCase("a failed download says which file and what to do", async () => {
    const tab = await openTab(browser, DESKTOP);
    await tab.goto(lostDataBase + "index.html");
    await waitFor(tab, "document.querySelector('.message') !== null", 20000);
    const texts = await messageTexts(tab);
    expect(texts.some((text) => /quelldrift\.data/.test(text) && /404/.test(text) && /reload/i.test(text)), texts.join());
    expect(!(await tab.evaluate(visible("#loading"))), "the loading words stay beside the message");
    await tab.close();
  });

  await runCase("a browser without WebGL is told so before anything downloads", async () => {
    const tab = await openTab(browser, DESKTOP, () => {
      HTMLCanvasElement.prototype.getContext = () => null;
    });
    await tab.goto(base + "index.html");
    await waitFor(tab, "document.querySelector('.message') !== null", 5000);
    const texts = await messageTexts(tab);
    expect(texts.some((text) => /WebGL/.test(text) && /hardware acceleration/.test(text)), texts.join());
    const downloads = await tab.evaluate(() => performance.getEntriesByType("resource")
      .filter((entry) => /quelldrift\.(wasm|data)/.test(entry.name)).length);
    expect(downloads === 0, "the demo was downloaded anyway");
    await tab.close();
  });
}

const site = await serve(siteDir);
const lostData = await serve(siteDir, new Set(["quelldrift.data"]));
const browser = await launch();
try {
  if (group === "flow") await flowCases(browser, site.base);
  else await messageCases(browser, site.base, lostData.base);
} finally {
  await browser.closeAll();
  site.server.close();
  lostData.server.close();
}
console.log(`${passed} passed, ${failures.length} failed`);
process.exit(failures.length ? 1 : 0);
