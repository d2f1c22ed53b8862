// A game client for the tests, built on the `ws` package. Usage:
//   node client.js URL [--origin ORIGIN] [--capture FOLDER]
// With --capture, every text message received is also appended, one per line, to a file of
// its own in FOLDER, for the protocol check that validates them against the schemas.
// Prints one line per event: "open LOCALPORT", "message TEXT", "pong PAYLOAD",
// "close CODE", "error TEXT", "unexpected-response STATUS", "sent N".
// Reads one command per line from standard input:
//   send TEXT | sendmany N PREFIX | sendbig BYTES | sendbinary BYTES | ping PAYLOAD
//   pause | resume | close
// Ends when standard input ends or the connection has closed.
'use strict';
const readline = require('readline');
const WebSocket = require('ws');

const [url, ...rest] = process.argv.slice(2);
const options = { perMessageDeflate: false, maxPayload: 64 * 1024 * 1024 };
const originIndex = rest.indexOf('--origin');
if (originIndex >= 0) options.origin = rest[originIndex + 1];

const captureIndex = rest.indexOf('--capture');
const captureFile =
  captureIndex >= 0 ? require('path').join(rest[captureIndex + 1], `received-${process.pid}.jsonl`) : null;
// Each message as a JSON string on a line of its own, whatever the message holds.
const capture = (text) => {
  if (captureFile) require('fs').appendFileSync(captureFile, JSON.stringify(text) + '\n');
};

const socket = new WebSocket(url, options);
const print = (line) => process.stdout.write(line + '\n');

socket.on('open', () => print(`open ${socket._socket.localPort}`));
socket.on('message', (data, isBinary) => {
  if (isBinary) {
    print(`binary ${data.length}`);
    return;
  }
  const text = data.toString();
  capture(text);
  print(`message ${text}`);
});
socket.on('pong', (data) => print(`pong ${data.toString()}`));
socket.on('unexpected-response', (request, response) => print(`unexpected-response ${response.statusCode}`));
socket.on('error', (error) => print(`error ${error.message}`));
socket.on('close', (code) => {
  print(`close ${code}`);
  process.exit(0);
});

const commands = readline.createInterface({ input: process.stdin });
commands.on('line', (line) => {
  const space = line.indexOf(' ');
  const command = space < 0 ? line : line.slice(0, space);
  const argument = space < 0 ? '' : line.slice(space + 1);
  switch (command) {
    case 'send':
      socket.send(argument);
      break;
    case 'sendmany': {
      const [count, prefix] = argument.split(' ');
      for (let i = 0; i < Number(count); i++) socket.send(`${prefix}${i}`);
      print(`sent ${count}`);
      break;
    }
    case 'sendbig':
      socket.send('x'.repeat(Number(argument)), () => print(`sent 1`));
      break;
    case 'sendbinary':
      socket.send(Buffer.alloc(Number(argument), 7), { binary: true });
      break;
    case 'ping':
      socket.ping(argument);
      break;
    case 'pause':
      socket.pause();
      print('paused');
      break;
    case 'resume':
      socket.resume();
      break;
    case 'close':
      socket.close(1000);
      break;
    default:
      print(`error unknown command ${command}`);
  }
});
commands.on('close', () => {
  socket.terminate();
  process.exit(0);
});
