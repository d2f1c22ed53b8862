// The protocol check: validates messages against the JSON Schemas in a folder with ajv.
// Usage:
//   node validate-protocol.js SCHEMA_FOLDER docs PROTOCOL.md   every ```json example of the document
//   node validate-protocol.js SCHEMA_FOLDER captured FOLDER    every message the end-to-end tests'
//                                                              game scripts received (one JSON
//                                                              string per line, files *.jsonl)
// Each example and message must be a whole message (an envelope or a bare error). Prints one
// line per fault and a closing count; exits 1 on any fault or when there was nothing to check.
'use strict';
const fs = require('fs');
const path = require('path');
const Ajv = require('ajv');

const [schemaFolder, mode, target] = process.argv.slice(2);
const ajv = new Ajv({ allErrors: true, strict: true });
for (const file of fs.readdirSync(schemaFolder).filter((name) => name.endsWith('.schema.json')).sort()) {
  ajv.addSchema(JSON.parse(fs.readFileSync(path.join(schemaFolder, file), 'utf8')));
}
const validate = ajv.getSchema('urn:tralvonic:schema:Message');
if (!validate) {
  console.log(`no Message schema in ${schemaFolder}`);
  process.exit(1);
}

// [where, text] of every message to check.
function documentExamples(file) {
  const examples = [];
  const lines = fs.readFileSync(file, 'utf8').split('\n');
  for (let i = 0; i < lines.length; i++) {
    if (lines[i].trim() !== '```json') continue;
    const start = i + 1;
    let end = start;
    while (end < lines.length && lines[end].trim() !== '```') end++;
    examples.push([`${path.basename(file)}:${start}`, lines.slice(start, end).join('\n')]);
    i = end;
  }
  return examples;
}

function capturedMessages(folder) {
  const messages = [];
  for (const file of fs.readdirSync(folder).filter((name) => name.endsWith('.jsonl')).sort()) {
    fs.readFileSync(path.join(folder, file), 'utf8')
      .split('\n')
      .forEach((line, index) => {
        if (line) messages.push([`${file}:${index + 1}`, JSON.parse(line)]);
      });
  }
  return messages;
}

const items = mode === 'docs' ? documentExamples(target) : mode === 'captured' ? capturedMessages(target) : null;
if (!items) {
  console.log(`unknown mode ${mode}`);
  process.exit(2);
}

let faults = 0;
const commands = new Set();
for (const [where, text] of items) {
  let message;
  try {
    message = JSON.parse(text);
  } catch (error) {
    console.log(`${where}: not JSON (${error.message}): ${text.slice(0, 200)}`);
    faults++;
    continue;
  }
  if (!validate(message)) {
    console.log(`${where}: ${ajv.errorsText(validate.errors)}: ${text.slice(0, 300)}`);
    faults++;
  }
  commands.add(message && message.Command !== undefined ? `Command ${message.Command}` : 'PluginError');
}
// Running a few tests alone may capture nothing; an empty document is a fault.
if (items.length === 0 && mode === 'captured') console.log('nothing captured');
else console.log(`checked: ${[...commands].sort().join(', ')}`);
console.log(`${items.length - faults} passed, ${faults} failed`);
process.exit(faults > 0 || (items.length === 0 && mode === 'docs') ? 1 : 0);
