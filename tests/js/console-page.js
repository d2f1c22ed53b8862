// Drives tralvonic-host's console page in headless Chromium as a person would, and leaves
// screenshots. Usage:
//   node console-page.js CONSOLE_URL ARTIFACT_DIR
// Waits for the game started by the test (the user in game, Bob placed and whispered to),
// then moves Carl, makes Carl and the user talk, mutes Alice, disconnects and reconnects.
// After each step it prints one line "step NAME" once the page shows the change, and at the
// end "done"; a step that does not show in time prints "failed NAME: why" and exits 1.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const [consoleUrl, artifacts] = process.argv.slice(2);
const StepTimeout = 15000;
const SampleGame = {
  Source: 'test',
  Self: { Name: 'Hero', X: 0, Y: 0, Z: 0, VoiceRange: 8 },
  Players: [
    { Name: 'Bob', X: 3, Y: 4, Z: 0, VoiceRange: 8, IsAlive: true },
    { Name: 'Carl', X: -12, Y: 6, Z: 0, VoiceRange: 5, IsAlive: true },
    { Name: 'Alice', X: 20, Y: -15, Z: 0, VoiceRange: 8, IsAlive: false },
  ],
  Radios: [{ Frequency: '101.1', Members: ['Hero', 'Carl'] }],
  Transmissions: [{ Name: 'Carl', Frequency: '101.1' }],
  Phones: [{ Caller: 'Hero', Partner: 'Alice' }],
  Megaphones: [{ Name: 'Bob', Range: 30 }],
  Sounds: ['radio-click'],
  Step: 'a phone call and a radio call',
};

async function main() {
  fs.mkdirSync(artifacts, { recursive: true });
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tralvonic-console-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1640, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  let current = 'open';
  try {
    const page = await context.newPage();
    const step = async (name, condition, argument) => {
      current = name;
      await page.waitForFunction(condition, argument, { timeout: StepTimeout });
      console.log(`step ${name}`);
    };
    const shot = (name) => page.screenshot({ path: path.join(artifacts, name), fullPage: true });
    const row = (name) => `#clients tr[data-name="${name}"]`;

    await page.goto(consoleUrl);
    await step('clients-listed', () => ['Hero', 'Alice', 'Bob', 'Carl', 'Supporter'].every(
      (n) => document.querySelector(`#clients tr[data-name="${n}"]`)));
    await step('game-live', () => document.getElementById('push-status').textContent === 'live' &&
      document.getElementById('link-status').textContent.startsWith('game link: connected'));
    // The game placed Bob: the host map shows him, and the user whispers to him.
    await step('bob-placed', () => document.querySelector('#host-map g.marker[data-name="Bob"]') &&
      document.querySelector('#host-map line.whisper[data-target="Bob"]') &&
      document.getElementById('instance-status').textContent.includes('Ingame'));
    await shot('console-in-game.png');

    await page.selectOption(`${row('Carl')} select`, { label: 'Lobby' });
    // The page's own choice shows at once; the scene pushed back must agree.
    await step('carl-moved', () => {
      const select = document.querySelector('#clients tr[data-name="Carl"] select');
      const carl = latest.Clients.find((c) => c.Name === 'Carl');
      const lobby = latest.Channels.find((c) => c.Name === 'Lobby');
      return select && select.selectedOptions[0].textContent.trim() === 'Lobby' && carl.Channel === lobby.Id;
    });
    await page.click(`${row('Bob')} button[data-action="talk"]`);
    await step('bob-talks', () => /talking/.test(
      document.querySelector('#clients tr[data-name="Bob"] td.state').textContent) &&
      document.querySelector('#broadcasts li[data-kind="TalkState"]'));
    await page.click(`${row('Hero')} button[data-action="talk"]`);
    await step('user-talks', () => /talking/.test(
      document.querySelector('#clients tr[data-name="Hero"] td.state').textContent));
    await page.click(`${row('Alice')} button[data-action="mute"]`);
    await step('alice-muted', () => /muted/.test(
      document.querySelector('#clients tr[data-name="Alice"] td.state').textContent));
    await page.click(`${row('Hero')} button[data-action="mute"]`);
    await step('microphone-muted', () => /mic muted/.test(
      document.querySelector('#clients tr[data-name="Hero"] td.state').textContent) &&
      document.querySelector('#broadcasts li[data-kind="SoundState"]'));
    await shot('console-controls.png');

    await page.click('#connection-button');
    await step('disconnected', () => document.getElementById('server-status').textContent === 'server: disconnected' &&
      document.getElementById('connection-button').textContent === 'Connect');
    await shot('console-disconnected.png');
    await page.click('#connection-button');
    await step('reconnected', () => document.getElementById('server-status').textContent === 'server: established');
    await shot('console-reconnected.png');

    // A game view as a built-in game session publishes it, drawn over the latest scene.
    await page.evaluate((game) => draw(Object.assign({}, latest, { Game: game })), SampleGame);
    await step('game-view-drawn', () => document.querySelectorAll('#game-map circle.voice-range').length === 4 &&
      document.querySelector('#game-map line.phone') && document.querySelector('#game-map line.radio') &&
      document.querySelector('#game-map circle.megaphone') &&
      document.getElementById('step').textContent === 'Step: a phone call and a radio call');
    await shot('console-game-view.png');
    console.log('done');
  } catch (error) {
    console.log(`failed ${current}: ${String(error).split('\n')[0]}`);
    process.exitCode = 1;
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main();
