// What the page's tests and scripts/page-pictures share: a small server for the site (which can
// be told to lose files), the system's headless Chromium driven by puppeteer-core, and tabs that
// note every console error, page error and failed request. importBrowser() answers null, with
// the reason, when Chromium or puppeteer-core is missing.
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

export const CHROMIUM = process.env.QD_CHROMIUM || "/usr/bin/chromium";

let puppeteer = null;

// puppeteer-core, or a string that says what is missing.
export async function importBrowser() {
  if (!fs.existsSync(CHROMIUM)) return `no Chromium at ${CHROMIUM} (scripts/setup browser installs it)`;
  try {
    puppeteer = (await import("puppeteer-core")).default;
  } catch (error) {
    return "puppeteer-core is not installed (scripts/setup browser installs it)";
  }
  return null;
}

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".data": "application/octet-stream" };

// Serves the site folder on 127.0.0.1; a file named in `lost` answers 404 Not Found. The
// promise gives the server and the address of its index.html's folder.
export function serve(siteDir, lost = new Set()) {
  const root = path.resolve(siteDir);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/^\/$/, "/index.html");
    const file = path.join(root, path.normalize(name));
    if (lost.has(path.basename(file)) || !file.startsWith(root + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404, { "Content-Type": "text/plain" });
      response.end("not found");
      return;
    }
    const bytes = fs.readFileSync(file);
    response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] || "application/octet-stream",
                              "Content-Length": bytes.length });
    response.end(bytes);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () =>
    resolve({ server, base: `http://127.0.0.1:${server.address().port}/` })));
}

// Headless Chromium with a new empty profile, which only reaches the loopback address; WebGL is
// drawn by SwiftShader. close() also removes the profile.
export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quelldrift-page-"));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--use-gl=angle", "--use-angle=swiftshader",
           "--enable-unsafe-swiftshader", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--mute-audio", "--hide-scrollbars"],
  });
  browser.closeAll = async () => {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A new tab with the viewport, which notes every console error, page error and failed request
// in tab.problems. `before` runs in every document before the page's own scripts.
export async function openTab(browser, viewport, before) {
  const tab = await browser.newPage();
  await tab.setViewport(viewport);
  tab.problems = [];
  tab.on("console", (message) => { if (message.type() === "error") tab.problems.push("console: " + message.text()); });
  tab.on("pageerror", (error) => tab.problems.push("page error: " + error.message));
  tab.on("requestfailed", (request) => tab.problems.push("request failed: " + request.url()));
  tab.on("response", (response) => {
    if (response.status() >= 400) tab.problems.push(`${response.status()} for ${response.url()}`);
  });
  if (before) await tab.evaluateOnNewDocument(before);
  return tab;
}

// An expression: the element is on the page and takes room.
export const visible = (selector) => `(function() {
  var element = document.querySelector(${JSON.stringify(selector)});
  if (!element) return false;
  var box = element.getBoundingClientRect();
  return box.width > 0 && box.height > 0 && getComputedStyle(element).visibility !== "hidden";
})()`;

// Loading the demo in software-rendered WebGL on a busy 2-core machine takes seconds.
export const LOAD_TIMEOUT_MS = 120000;

export const waitFor = (tab, expression, timeout = LOAD_TIMEOUT_MS) =>
  tab.waitForFunction(expression, { timeout, polling: 100 });

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export const PHONE = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
export const DESKTOP = { width: 800, height: 600 };
