// A small game for trying the plugin inside tralvonic-host by hand. Usage:
//   node tests/js/demo-game.js [URL] [SECONDS]
// Connects (default ws://127.0.0.1:38088), starts an instance on the simulated server of
// tralvonic-host, places the user and Bob, answers the plugin's pings for SECONDS (default
// 10) and then falls silent, so the plugin resets the instance after its timeout.
'use strict';
const WebSocket = require('ws');

const url = process.argv[2] || 'ws://127.0.0.1:38088';
const seconds = Number(process.argv[3] || 10);
const server = 'tralvonic-sim-server-uid=';
const socket = new WebSocket(url);
const send = (command, parameter = null) =>
  socket.send(JSON.stringify({ Command: command, ServerUniqueIdentifier: server, Parameter: parameter }));

let answering = true;
socket.on('open', () => {
  console.log(`[game] connected to ${url}`);
  socket.send(JSON.stringify({
    Command: 1,
    Parameter: { ServerUniqueIdentifier: server, Name: 'Hero', ChannelId: 2, SwissChannelIds: [3] },
  }));
  setTimeout(() => {
    send(9, {
      PlayerStates: [{ Name: 'Bob', Position: { X: 3, Y: 4, Z: 0 }, VoiceRange: 10 }],
      SelfState: { Position: { X: 0, Y: 0, Z: 0 }, Rotation: 0, VoiceRange: 8 },
    });
  }, 500);
  setTimeout(() => {
    answering = false;
    console.log('[game] falling silent; the plugin should reset the instance');
  }, seconds * 1000);
});
socket.on('message', (data) => {
  const text = data.toString();
  const message = JSON.parse(text);
  if (message.Command === 3 && answering) send(4);
  if (message.Command !== 3) console.log(`[game] received ${text}`);
  if (message.Command === 2) {
    console.log('[game] instance reset; done');
    socket.close();
  }
});
socket.on('close', () => process.exit(0));
socket.on('error', (error) => {
  console.error(`[game] ${error.message}`);
  process.exit(1);
});
