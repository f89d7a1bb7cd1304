// The page around the demo. It says what is happening from the first moment: the bytes of the
// program and of the data as they download, then (drawn by the demo in the canvas) the picture
// log, then a Play button. Every failure becomes words on the page that say what to do. While
// the demo plays, a control bar comes up on pointer movement or a tap: play / pause, a position
// slider with the scene starts marked, the time and full screen.
//
// This script loads the demo itself. It fetches quelldrift.wasm and quelldrift.data so that it
// can count their bytes, and hands them to emscripten's loaders: the compiled program through
// Module.instantiateWasm, the data package through Module.getPreloadedPackage (data.js asks for
// it when it runs). The demo talks to the page through Module.page (see web_page.cpp): it
// gives the schedule, says when it is ready and where each frame stands, shows its error
// messages, and takes the control bar's commands once a frame.
"use strict";
(function() {
  var IDLE_MS = 2500;      // the control bar hides after this long without input
  var MIN_FPS = 1, MAX_FPS = 1000;
  var SITE_COMMAND = "scripts/web --serve";

  var byId = function(id) { return document.getElementById(id); };
  var ui = {
    canvas: byId("canvas"), loading: byId("loading"), loadingWords: byId("loading-words"),
    progressBar: byId("progress-bar"), progressFill: byId("progress-fill"),
    playWanted: byId("play-wanted"), ready: byId("ready"), play: byId("play"),
    readyFrom: byId("ready-from"), bar: byId("bar"), seek: byId("seek"),
    seekDone: byId("seek-done"), seekThumb: byId("seek-thumb"), pause: byId("pause"),
    pauseIcon: byId("pause-icon"), time: byId("time"), sceneName: byId("scene-name"),
    fullscreen: byId("fullscreen"), messages: byId("messages")
  };

  // ---- Messages ----

  // Adds a message: a line that says what happened and lines that say what to do. A notice is
  // blue and can be closed; an error is red and stays. Text only, never markup from outside:
  // `code` parts of the advice are shown as code.
  function showMessage(kind, what, advice) {
    var box = document.createElement("div");
    box.className = "message" + (kind === "notice" ? " notice" : "");
    box.setAttribute("role", kind === "notice" ? "status" : "alert");
    if (kind === "notice") {
      var close = document.createElement("button");
      close.type = "button";
      close.setAttribute("aria-label", "Close");
      close.textContent = "\u00d7";
      close.addEventListener("click", function() { box.remove(); });
      box.appendChild(close);
    }
    [what].concat(advice || []).forEach(function(line, index) {
      var paragraph = document.createElement("p");
      if (index === 0) {
        var strong = document.createElement("strong");
        strong.textContent = line;
        paragraph.appendChild(strong);
      } else {
        appendWithCode(paragraph, line);
      }
      box.appendChild(paragraph);
    });
    ui.messages.appendChild(box);
    return box;
  }

  // Text with `backquoted` parts set as code.
  function appendWithCode(parent, text) {
    text.split("`").forEach(function(part, index) {
      if (!part) return;
      var node = index % 2 ? document.createElement("code") : document.createTextNode(part);
      if (index % 2) node.textContent = part;
      parent.appendChild(node);
    });
  }

  // What to do about each of the demo's own failure messages.
  var DEMO_ADVICE = [
    [/opengl-window|multi-texturing/,
     "The browser gave the page no working WebGL. Turn on hardware acceleration in the " +
     "browser's settings, or open the page in another browser."],
    [/audio/,
     "The browser could not decode the music. Open the page in another browser."],
    [/data folder|scenes or textures|not found|cannot load|cannot be read/,
     "The site's data is incomplete: build it again with `scripts/web`, then reload the page."]
  ];

  function showDemoMessage(caption, text) {
    var rule = DEMO_ADVICE.find(function(candidate) { return candidate[0].test(text); });
    showMessage("error", caption + ": " + text,
                [rule ? rule[1] : "Reload the page; if it happens again, build the site again with `scripts/web`."]);
  }

  function fail(what, advice) {
    state = "failed";
    ui.loading.hidden = true;
    ui.ready.hidden = true;
    hideBar();
    showMessage("error", what, advice);
  }

  // ---- The address: #at=MS&fps=N for a still frame, #t=SECONDS to play from ----

  // A plain decimal number (no sign, no exponent), or NaN.
  function plainNumber(text) {
    return /^[0-9]+(\.[0-9]+)?$/.test(text || "") ? Number(text) : NaN;
  }

  // The text of a %-escaped value; a broken escape stays as it was written.
  function decoded(text) {
    try {
      return decodeURIComponent(text);
    } catch (e) {
      return text;
    }
  }

  // The address's wishes, and a message for each value that cannot be used.
  function readAddress(hash) {
    var wishes = { atMs: -1, fps: 60, startSeconds: 0, problems: [] };
    var seen = {};
    hash.replace(/^#/, "").split("&").forEach(function(part) {
      if (!part) return;
      var equals = part.indexOf("=");
      var name = equals < 0 ? part : part.slice(0, equals);
      var text = equals < 0 ? "" : decoded(part.slice(equals + 1));
      var value = plainNumber(text);
      seen[name] = true;
      if (name === "at") {
        if (isFinite(value)) wishes.atMs = value;
        else wishes.problems.push(["#at=" + text + " is not a time.",
          "Give the music time of the still frame in milliseconds, from 0: for example `#at=95000`."]);
      } else if (name === "fps") {
        if (Number.isInteger(value) && value >= MIN_FPS && value <= MAX_FPS) wishes.fps = value;
        else wishes.problems.push(["&fps=" + text + " is not a frame rate.",
          "Give a whole number of frames per second from " + MIN_FPS + " to " + MAX_FPS +
          ": for example `#at=95000&fps=30`."]);
      } else if (name === "t") {
        if (isFinite(value)) wishes.startSeconds = value;
        else wishes.problems.push(["#t=" + text + " is not a time.",
          "Give the time to play from in seconds: for example `#t=82.2`."]);
      }
    });
    if (seen.fps && !seen.at && !wishes.problems.length)
      wishes.problems.push(["&fps= goes with #at=.", "It sets the frame rate of a still frame: for example `#at=95000&fps=30`."]);
    return wishes;
  }

  // ---- State ----

  // loading: the downloads; starting: the program runs its start-up (the picture log);
  // ready: the Play button; playing: the demo plays (or stands paused); still: the address's
  // still frame; failed: a message says why nothing more happens.
  var state = "loading";
  var address = readAddress(window.location.hash);
  var schedule = null;  // {starts: [ms...], endMs}
  var playWanted = false;
  var position = { ms: 0, paused: false };
  var commands = [];
  var shownSecond = -1;

  // ---- Downloads ----

  var downloads = { wasm: { loaded: 0, total: 0 }, data: { loaded: 0, total: 0 } };

  function megabytes(bytes) { return (bytes / 1e6).toFixed(1); }

  function showProgress() {
    var loaded = downloads.wasm.loaded + downloads.data.loaded;
    var total = downloads.wasm.total + downloads.data.total;
    var words = "Downloading the program and its data: " + megabytes(loaded) + " MB";
    if (total >= loaded && total > 0) words += " of " + megabytes(total) + " MB";
    ui.loadingWords.textContent = words;
    var percent = total > 0 ? Math.min(100, Math.round(100 * loaded / total)) : 0;
    ui.progressFill.style.width = percent + "%";
    ui.progressBar.setAttribute("aria-valuenow", String(percent));
  }

  function downloadFailed(name, reason) {
    fail("The download of " + name + " failed: " + reason + ".",
         ["Check the connection and reload the page. If the server is your own, build the " +
          "site again with `scripts/web` and serve it with `" + SITE_COMMAND + "`."]);
  }

  // Fetches a file and counts its bytes as they arrive; the promise gives a Response with the
  // same bytes (so that the program can be compiled while it streams in).
  function countedFetch(name, entry, contentType) {
    return fetch(name, { credentials: "same-origin" }).then(function(response) {
      if (!response.ok) throw new Error("the server answered " + response.status + " " + response.statusText);
      entry.total = Number(response.headers.get("Content-Length")) || 0;
      showProgress();
      if (!response.body) return response;
      var reader = response.body.getReader();
      var counted = new ReadableStream({
        pull: function(controller) {
          return reader.read().then(function(chunk) {
            if (chunk.done) { controller.close(); return; }
            entry.loaded += chunk.value.byteLength;
            showProgress();
            controller.enqueue(chunk.value);
          });
        }
      });
      return new Response(counted, { headers: { "Content-Type": contentType } });
    });
  }

  function loadScript(name) {
    return new Promise(function(resolve, reject) {
      var script = document.createElement("script");
      script.src = name;
      script.onload = resolve;
      script.onerror = function() { reject(new Error("the script could not be loaded")); };
      document.body.appendChild(script);
    });
  }

  function webGlAvailable() {
    if (typeof WebGLRenderingContext === "undefined") return false;
    try {
      return !!document.createElement("canvas").getContext("webgl");
    } catch (e) {
      return false;
    }
  }

  // ---- Playing ----

  function showReady() {
    state = "ready";
    ui.loading.hidden = true;
    hideBar();
    var from = address.startSeconds;
    setAddressTime(from > 0 ? from : null);
    ui.readyFrom.hidden = !(from > 0);
    ui.readyFrom.textContent = from > 0 ? "From " + clock(from * 1000) + " (the address's #t)." : "";
    if (playWanted) { play(); return; }
    ui.ready.hidden = false;
    ui.play.focus();
  }

  // The viewer's wish to play: now when the demo is ready, else as soon as it is.
  function play() {
    if (address.atMs >= 0) return;  // a still frame plays nothing
    playWanted = true;
    if (state === "loading" || state === "starting") {
      ui.playWanted.hidden = false;
      return;
    }
    if (state !== "ready") return;
    playWanted = false;
    state = "playing";
    ui.ready.hidden = true;
    position.paused = false;
    drawPauseButton();
    // The music may start only inside the viewer's click or key press: the audio platform
    // resumes its audio context here.
    if (Module.music && Module.music.unlock) Module.music.unlock();
    showBar();
  }

  function audioRefused() {
    showMessage("notice", "Sound is off: the browser did not let the page play sound.",
                ["The demo plays in silence. Allow sound for this site in the browser's " +
                 "settings, then press Escape and Play to hear it."]);
  }

  // ---- The control bar ----

  var idleTimer = 0;
  var dragging = false;

  function showBar() {
    if (state !== "playing") return;
    ui.bar.hidden = false;
    ui.bar.classList.remove("hidden");
    document.body.classList.remove("idle");
    clearTimeout(idleTimer);
    idleTimer = setTimeout(hideBarWhenIdle, IDLE_MS);
  }

  function hideBarWhenIdle() {
    if (dragging || ui.bar.contains(document.activeElement) || ui.bar.matches(":hover")) {
      idleTimer = setTimeout(hideBarWhenIdle, IDLE_MS);
      return;
    }
    ui.bar.classList.add("hidden");
    if (state === "playing") document.body.classList.add("idle");
  }

  function hideBar() {
    clearTimeout(idleTimer);
    ui.bar.classList.add("hidden");
    ui.bar.hidden = true;
    document.body.classList.remove("idle");
  }

  // m:ss of a music time.
  function clock(ms) {
    var seconds = Math.max(0, Math.floor(ms / 1000));
    var rest = seconds % 60;
    return Math.floor(seconds / 60) + ":" + (rest < 10 ? "0" : "") + rest;
  }

  // The scene of a music time; a time on a scene's start still belongs to the scene before.
  function sceneOf(ms) {
    var scene = 0;
    if (schedule) schedule.starts.forEach(function(start, index) { if (ms > start) scene = index; });
    return scene;
  }

  function drawPosition() {
    if (!schedule) return;
    var share = Math.min(1, Math.max(0, position.ms / schedule.endMs));
    ui.seekDone.style.width = (share * 100) + "%";
    ui.seekThumb.style.left = (share * 100) + "%";
    var second = Math.floor(position.ms / 1000);
    if (second !== shownSecond) {
      shownSecond = second;
      var scene = sceneOf(position.ms);
      ui.time.textContent = clock(position.ms) + " / " + clock(schedule.endMs);
      // Scenes are counted from 0, as the window's position bar and the README count them.
      ui.sceneName.textContent = "scene " + scene;
      ui.seek.setAttribute("aria-valuenow", String(second));
      ui.seek.setAttribute("aria-valuetext", clock(position.ms) + ", scene " + scene);
    }
  }

  function drawPauseButton() {
    ui.pause.setAttribute("aria-label", position.paused ? "Play" : "Pause");
    ui.pauseIcon.setAttribute("d", position.paused ? "M7 4.5v15l12.5-7.5z" : "M6 5h4v14H6zM14 5h4v14h-4z");
  }

  function markScenes() {
    schedule.starts.forEach(function(start, index) {
      var mark = document.createElement("div");
      mark.className = "mark";
      mark.style.left = (100 * start / schedule.endMs) + "%";
      mark.title = "scene " + index + ", " + clock(start);
      ui.seek.appendChild(mark);
    });
    ui.seek.setAttribute("aria-valuemax", String(Math.floor(schedule.endMs / 1000)));
  }

  // A seek to where the pointer is on the slider; one waiting seek is replaced by the next.
  function seekToPointer(event) {
    if (!schedule) return;
    var box = ui.seek.getBoundingClientRect();
    var share = Math.min(1, Math.max(0, (event.clientX - box.left) / box.width));
    var ms = Math.min(share * schedule.endMs, schedule.endMs - 1);
    var last = commands[commands.length - 1];
    if (last && last.kind === "seek") last.ms = ms;
    else commands.push({ kind: "seek", ms: ms });
    position.ms = ms;
    drawPosition();
  }

  // ---- The address while paused ----

  var addressSeconds = null;

  // Shows #t=SECONDS in the address (null: no time), without a new history entry; the
  // address's other parts stay.
  function setAddressTime(seconds) {
    if (seconds === addressSeconds || address.atMs >= 0) return;
    addressSeconds = seconds;
    var parts = window.location.hash.replace(/^#/, "").split("&").filter(function(part) {
      return part && !/^t(=|$)/.test(part);
    });
    if (seconds !== null) parts.unshift("t=" + String(Number(seconds.toFixed(3))));
    var text = parts.length ? "#" + parts.join("&") : "";
    if (window.location.hash !== text)
      history.replaceState(null, "", window.location.pathname + window.location.search + text);
  }

  // ---- Full screen ----

  function toggleFullscreen() {
    var root = document.documentElement;
    var request = document.fullscreenElement ? document.exitFullscreen()
                  : root.requestFullscreen ? root.requestFullscreen() : null;
    if (request && request.catch) request.catch(function() {});
  }

  // ---- Input ----

  var MODIFIER_KEYS = ["Shift", "Control", "Alt", "Meta", "CapsLock", "Tab"];

  window.addEventListener("keydown", function(event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    if (event.key === "f" || event.key === "F") {
      if (state !== "still" && !event.repeat) toggleFullscreen();
      return;
    }
    if (state === "loading" || state === "starting") {
      // Remembered: the demo starts as soon as it has loaded. Escape takes the wish back.
      if (event.key === "Escape") { playWanted = false; ui.playWanted.hidden = true; }
      else if (MODIFIER_KEYS.indexOf(event.key) < 0 && !/^F[0-9]+$/.test(event.key)) play();
      return;
    }
    if (state === "ready" && (event.key === "Enter" || event.key === " ") &&
        document.activeElement !== ui.play) {
      event.preventDefault();
      event.stopPropagation();
      play();
      return;
    }
    if (state === "playing") showBar();
  }, true);

  // The Play button's own keys press it and go no further: the demo must not also take
  // that Space as "pause".
  ui.play.addEventListener("keydown", function(event) {
    if (event.key === " " || event.key === "Enter") event.stopPropagation();
  });
  // A click anywhere on the Play screen plays, as a click on the button does.
  ui.ready.addEventListener("click", play);

  // Space on a focused bar button is the window's Space (pause), not a click of the button.
  [ui.pause, ui.fullscreen].forEach(function(button) {
    button.addEventListener("keydown", function(event) { if (event.key === " ") event.preventDefault(); });
    button.addEventListener("keyup", function(event) { if (event.key === " ") event.preventDefault(); });
  });
  ui.pause.addEventListener("click", function() {
    commands.push({ kind: "pause" });
    showBar();
  });
  ui.fullscreen.addEventListener("click", toggleFullscreen);
  ui.fullscreen.hidden = !document.fullscreenEnabled;  // a phone may not fill its screen with a page

  ui.seek.addEventListener("pointerdown", function(event) {
    dragging = true;
    ui.seek.setPointerCapture(event.pointerId);
    ui.seek.focus();
    seekToPointer(event);
  });
  ui.seek.addEventListener("pointermove", function(event) { if (dragging) seekToPointer(event); });
  ["pointerup", "pointercancel"].forEach(function(name) {
    ui.seek.addEventListener(name, function() { dragging = false; });
  });

  window.addEventListener("pointermove", showBar);
  window.addEventListener("pointerdown", function(event) {
    if (state === "loading" || state === "starting") { play(); return; }
    showBar();
  });
  ui.bar.addEventListener("focusin", showBar);
  ui.canvas.addEventListener("dblclick", function() { if (state === "playing") toggleFullscreen(); });

  window.addEventListener("hashchange", function() {
    var wishes = readAddress(window.location.hash);
    if (wishes.atMs >= 0 || address.atMs >= 0) { window.location.reload(); return; }
    if (wishes.problems.length) { wishes.problems.forEach(function(p) { showMessage("error", p[0], [p[1]]); }); return; }
    address.startSeconds = wishes.startSeconds;
    if (state === "playing" && schedule) commands.push({ kind: "seek", ms: wishes.startSeconds * 1000 });
    if (state === "ready") showReady();
  });

  // ---- What the demo calls (web_page.cpp) ----

  var page = {
    // The music times where the scenes start, and where the demo ends.
    schedule: function(starts, endMs) {
      schedule = { starts: starts, endMs: endMs };
      markScenes();
      if (address.startSeconds * 1000 >= endMs) {
        showMessage("error", "#t=" + address.startSeconds + " is past the end of the demo.",
                    ["The demo is " + clock(endMs) + " long: give a time from 0 to " +
                     Math.floor(endMs / 1000) + " seconds. It plays from the start."]);
        address.startSeconds = 0;
      }
    },
    // Loaded (again, after Escape or the end): the Play button, or play at once when asked to.
    ready: showReady,
    // Where the frame just drawn stands. lastFrame keeps it, with the page's clock at the
    // moment, for whoever watches the page (the tests).
    lastFrame: null,
    position: function(ms, paused) {
      var pausedNow = paused !== 0;
      page.lastFrame = { ms: ms, paused: pausedNow, at: performance.now() };
      if (pausedNow !== position.paused) {
        position.paused = pausedNow;
        drawPauseButton();
        showBar();
      }
      if (!dragging || commands.length === 0) position.ms = ms;
      drawPosition();
      setAddressTime(pausedNow ? ms / 1000 : null);
    },
    // The time the address asks to play from, in milliseconds, once: the next Play (after
    // Escape or the end) plays from the start.
    takeStartMs: function() {
      var ms = address.startSeconds * 1000;
      address.startSeconds = 0;
      return ms;
    },
    // The still frame of the address: [ms, fps], or null.
    still: function() { return address.atMs >= 0 ? [address.atMs, address.fps] : null; },
    stillDrawn: function() {
      state = "still";
      ui.loading.hidden = true;
      document.title += " [still]";
    },
    // The next command of the control bar: {kind: "pause"} or {kind: "seek", ms}, or null.
    takeCommand: function() { return commands.shift() || null; },
    message: showDemoMessage,
    audioRefused: audioRefused
  };

  // ---- Start ----

  window.Module = {
    canvas: ui.canvas,
    page: page,
    print: function(text) { console.log(text); },
    printErr: function(text) { console.error(text); },
    onAbort: function(what) {
      fail("The demo stopped with an error.", ["Reload the page. (" + what + ")"]);
    },
    onRuntimeInitialized: function() {
      if (state === "failed") return;
      state = "starting";
      ui.loading.hidden = true;
    }
  };

  address.problems.forEach(function(problem) { showMessage("error", problem[0], [problem[1]]); });
  if (address.problems.length) { address.atMs = -1; address.fps = 60; }

  if (window.location.protocol === "file:") {
    fail("This page was opened from the file system, where the browser will not run the demo.",
         ["Serve the site folder over http instead: run `" + SITE_COMMAND + "` in the project " +
          "folder and open http://127.0.0.1:8000/ in the browser."]);
    return;
  }
  if (typeof WebAssembly !== "object" || typeof fetch !== "function") {
    fail("This browser cannot run the demo: it has no WebAssembly.",
         ["Open the page in a current browser (Chromium, Firefox or Safari)."]);
    return;
  }
  if (!webGlAvailable()) {
    fail("This browser cannot draw the demo: it has no WebGL.",
         ["Turn on hardware acceleration in the browser's settings, or open the page in " +
          "another browser."]);
    return;
  }

  showProgress();
  var compiled = countedFetch("quelldrift.wasm", downloads.wasm, "application/wasm")
    .then(function(response) { return WebAssembly.compileStreaming(response); });
  var data = countedFetch("quelldrift.data", downloads.data, "application/octet-stream")
    .then(function(response) { return response.arrayBuffer(); });
  compiled.catch(function(error) { downloadFailed("quelldrift.wasm", error.message); });
  data.catch(function(error) { downloadFailed("quelldrift.data", error.message); });

  window.Module.instantiateWasm = function(imports, receiveInstance) {
    compiled.then(function(module) { return WebAssembly.instantiate(module, imports); })
      .then(function(instance) { receiveInstance(instance); },
            function(error) { fail("The demo's program could not be started.", ["Reload the page. (" + error.message + ")"]); });
    return {};
  };

  Promise.all([compiled, data]).then(function(results) {
    var packageBytes = results[1];
    window.Module.getPreloadedPackage = function() { return packageBytes; };
    ui.loadingWords.textContent = "Starting\u2026";
    return loadScript("data.js").then(function() { return loadScript("quelldrift.js"); })
      .catch(function(error) { downloadFailed("the demo's scripts", error.message); });
  }, function() {});
})();
