// Opens a page in headless Chromium that connects to the plugin's server, sends one text
// message and waits for one answer. Usage:
//   node browser.js WS_URL http PORT   page served by a local http server on 127.0.0.1:PORT
//                                     (0: any free port)
//   node browser.js WS_URL file        page loaded from a file (its origin is "null")
// Prints one JSON line: {"origin", "opened", "reply", "closeCode"}.
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const [wsUrl, mode, port] = process.argv.slice(2);

const page = `<!doctype html><html><body><script>
window.result = new Promise((resolve) => {
  const outcome = { origin: location.origin, opened: false, reply: null, closeCode: null };
  const socket = new WebSocket(${JSON.stringify(wsUrl)});
  socket.onopen = () => { outcome.opened = true; socket.send('hello from the page'); };
  socket.onmessage = (event) => { outcome.reply = event.data; socket.close(1000); };
  socket.onclose = (event) => { outcome.closeCode = event.code; resolve(outcome); };
});
</script></body></html>`;

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tralvonic-chromium-'));
  let server = null;
  let address;
  if (mode === 'http') {
    server = http.createServer((request, response) => {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end(page);
    });
    await new Promise((resolve, reject) => {
      server.once('error', reject);
      server.listen(Number(port), '127.0.0.1', resolve);
    });
    address = `http://127.0.0.1:${server.address().port}/`;
  } else {
    const file = path.join(profile, 'page.html');
    fs.writeFileSync(file, page);
    address = `file://${file}`;
  }
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const tab = await context.newPage();
    await tab.goto(address);
    const outcome = await tab.evaluate(() => window.result);
    process.stdout.write(JSON.stringify(outcome) + '\n');
  } finally {
    await context.close();
    if (server) server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((error) => {
  process.stdout.write(JSON.stringify({ error: String(error) }) + '\n');
  process.exit(1);
});
