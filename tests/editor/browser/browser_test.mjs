// The editor's page in a real browser: Debian's chromium, driven by
// playwright-core. node browser_test.mjs PAGE_SERVER SCREENSHOT.png
import { spawn } from "node:child_process";
import { createInterface } from "node:readline";
import { chromium } from "playwright-core";

const [server, screenshot] = process.argv.slice(2);
let passed = 0;
let failed = 0;

function check(ok, what) {
  if (ok) {
    passed++;
  } else {
    failed++;
    console.error("FAILED: " + what);
  }
}

// The page server prints its line, then answers the commands we send it.
const game = spawn(server, [], { stdio: ["pipe", "pipe", "inherit"] });
const lines = createInterface({ input: game.stdout });
const waiting = [];
lines.on("line", (line) => {
  const w = waiting.shift();
  if (w) w(line);
});
const nextLine = () => new Promise((resolve) => waiting.push(resolve));
const ask = async (command) => {
  const answer = nextLine();
  game.stdin.write(command + "\n");
  return answer;
};
const send = (command) => game.stdin.write(command + "\n");

const timer = setTimeout(() => {
  console.error("FAILED: the browser test took longer than 90 s");
  process.exit(1);
}, 90000);

let browser;
try {
  const announce = await nextLine();
  const m = /^Editor: (http:\/\/127\.0\.0\.1:\d+\/\?t=[0-9a-f]{32})$/.exec(announce);
  check(m !== null, "the line 'Editor: http://127.0.0.1:PORT/?t=TOKEN', got " + announce);
  const url = m[1];

  browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  const page = await browser.newPage({ viewport: { width: 1000, height: 560 } });
  const problems = [];
  page.on("pageerror", (e) => problems.push(e.message));
  page.on("console", (msg) => { if (msg.type() === "error") problems.push(msg.text()); });
  await page.goto(url);

  const list = page.locator("#ctl-1000");
  const edit = page.locator("#ctl-1007");
  await page.waitForFunction(() => document.querySelectorAll("#ctl-1000 option").length === 3);
  const texts = await list.locator("option").allTextContents();
  check(/^#002 \+ 0x[0-9A-F]{8} - \[LINK\]$/.test(texts[0]), "the link on top: " + texts[0]);
  check(texts[2] === "-".repeat(25), "the dummy's dashes last: " + texts[2]);

  // Select the link: its text shows, but in play it can't be edited.
  await list.selectOption({ index: 0 });
  await page.waitForFunction(() => document.querySelector("#ctl-1007").value.startsWith("Link {"));
  check(await edit.isDisabled(), "an element in play is not editable");

  // "Enable editor", edit, "Apply".
  await page.click("#ctl-1005");
  await page.waitForFunction(() => !document.querySelector("#ctl-1007").disabled);
  check((await list.locator("option").first().textContent()).includes(" - 0x"),
        "the line shows '-' once out of play");
  const text = await edit.inputValue();
  await edit.fill(text.replace(/ scores = 0;/, " scores = 25;"));
  await page.click("#ctl-1004");
  await page.waitForFunction(() => document.querySelector("#status").textContent === "Applied.");
  check((await edit.inputValue()).includes(" scores = 25;"), "the applied text shows again");
  check(await edit.isDisabled(), "applied, the link is in play again");
  check((await ask("state")).startsWith("elements 3 scores 25"), "the game's link scores 25");
  await page.screenshot({ path: screenshot });

  // "Create": the kinds sorted with "Static picture" preselected; make a link.
  await page.click("#ctl-1001");
  await page.waitForSelector("#create-dialog[open]");
  const kinds = await page.locator("#create-1002 option").allTextContents();
  check(kinds.length === 16 && kinds[0] === "Ball" && kinds[15] === "Traveling String",
        "sixteen kinds, sorted: " + kinds.join(","));
  check((await page.locator("#create-1002").inputValue()) === "Static picture",
        "\"Static picture\" preselected");
  await page.selectOption("#create-1002", "Link");
  await page.click("#create-ok");
  await page.waitForFunction(() => document.querySelectorAll("#ctl-1000 option").length === 4);
  check((await list.inputValue()) === "3", "the new element is selected");
  check(!(await edit.isDisabled()), "a new element is editable at once");

  // The game loads another table: the list refreshes by itself.
  send("reload");
  await page.waitForFunction(() => document.querySelectorAll("#ctl-1000 option").length === 5);
  check((await list.inputValue()) === "", "nothing is selected after a load");
  check((await page.locator("#table-path").textContent()).endsWith("second.script"),
        "the table's path shows");

  // Alt+L in the game: the page's Open dialog.
  send("open");
  await page.waitForSelector("#file-dialog[open]");
  check((await page.locator("#file-title").textContent()) === "Open", "the Open dialog");
  await page.click("#file-cancel");
  // Alt+S before an editor existed: the page opens with its Save dialog.
  const second = await browser.newPage();
  await second.goto(url + "&dialog=save");
  await second.waitForSelector("#file-dialog[open]");
  check((await second.locator("#file-title").textContent()) === "Save As", "the Save dialog");
  await second.close();

  // "Close" ends the editor.
  await page.click("#close-editor");
  await page.waitForFunction(() => document.body.classList.contains("closed"));
  check((await ask("state")).endsWith("closed 1"), "the game sees the page's Close");
  check(problems.length === 0, "no errors in the page: " + problems.join("; "));
} catch (e) {
  failed++;
  console.error("FAILED: " + (e && e.stack ? e.stack : e));
} finally {
  if (browser) await browser.close();
  send("quit");
  game.stdin.end();
  clearTimeout(timer);
}
console.log("Editor screenshot: " + screenshot);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
