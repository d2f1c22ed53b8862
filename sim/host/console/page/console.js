// The console page: draws the scene the host program pushes (server-sent events on
// /api/events, or /api/state polled while the stream is down) and sends the controls.
'use strict';

const SVG = 'http://www.w3.org/2000/svg';
const MapSize = 560;
const StatusNames = ['disconnected', 'connecting', 'connected', 'establishing', 'established'];
const InstanceStates = ['NotConnected', 'Connected', 'Ingame', 'InSwissChannel'];
let latest = null;

function element(name, attributes, parent) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes || {})) node.setAttribute(key, value);
  if (parent) parent.appendChild(node);
  return node;
}

function html(name, text, className) {
  const node = document.createElement(name);
  if (text !== undefined) node.textContent = text;
  if (className) node.className = className;
  return node;
}

// World coordinates to the map: the points (and circles around them) fit with a margin,
// north (+Y) up, one scale on both axes.
function Projection(points, minimumSpan) {
  let minX = Infinity, maxX = -Infinity, minY = Infinity, maxY = -Infinity;
  for (const p of points) {
    const r = p.r || 0;
    minX = Math.min(minX, p.x - r); maxX = Math.max(maxX, p.x + r);
    minY = Math.min(minY, p.y - r); maxY = Math.max(maxY, p.y + r);
  }
  if (!isFinite(minX)) { minX = maxX = minY = maxY = 0; }
  const span = Math.max(maxX - minX, maxY - minY, minimumSpan) * 1.15;
  const cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
  const scale = MapSize / span;
  return {
    scale,
    x: (x) => MapSize / 2 + (x - cx) * scale,
    y: (y) => MapSize / 2 - (y - cy) * scale,
    span,
    left: cx - span / 2, bottom: cy - span / 2,
  };
}

function niceStep(span) {
  const raw = span / 8;
  const power = Math.pow(10, Math.floor(Math.log10(raw)));
  for (const f of [1, 2, 5, 10]) if (raw <= f * power) return f * power;
  return 10 * power;
}

function drawGrid(svg, projection) {
  const step = niceStep(projection.span);
  const grid = element('g', { stroke: '#e6ebef', 'stroke-width': 1 }, svg);
  const labels = element('g', { fill: '#9aa8b4', 'font-size': 10 }, svg);
  for (let v = Math.ceil(projection.left / step) * step; v <= projection.left + projection.span; v += step) {
    const x = projection.x(v);
    element('line', { x1: x, y1: 0, x2: x, y2: MapSize }, grid);
    element('text', { x: x + 2, y: MapSize - 3 }, labels).textContent = +v.toFixed(2);
  }
  for (let v = Math.ceil(projection.bottom / step) * step; v <= projection.bottom + projection.span; v += step) {
    const y = projection.y(v);
    element('line', { x1: 0, y1: y, x2: MapSize, y2: y }, grid);
    // The lowest row would sit on the X axis' labels.
    if (y < MapSize - 16) element('text', { x: 3, y: y - 2 }, labels).textContent = +v.toFixed(2);
  }
}

function label(svg, x, y, lines, color) {
  const text = element('text', { x, y: y + 20, 'text-anchor': 'middle', 'font-size': 12, fill: color,
    stroke: '#fbfcfd', 'stroke-width': 3, 'paint-order': 'stroke' }, svg);
  lines.forEach((line, index) => {
    const span = element('tspan', { x, dy: index === 0 ? 0 : 13 }, text);
    span.textContent = line;
    if (index > 0) { span.setAttribute('font-size', 10); span.setAttribute('fill', '#66788a'); }
  });
  return text;
}

function marker(svg, x, y, options) {
  const group = element('g', { class: 'marker', 'data-name': options.name }, svg);
  if (options.talking) {
    element('circle', { cx: x, cy: y, r: 14, fill: 'none', stroke: '#2e7d32', 'stroke-width': 3,
      opacity: 0.8 }, group);
  }
  element('circle', { cx: x, cy: y, r: options.user ? 8 : 6, fill: options.hollow ? '#fff' : options.color,
    stroke: options.color, 'stroke-width': 2 }, group);
  if (options.muted) {
    element('line', { x1: x - 9, y1: y - 9, x2: x + 9, y2: y + 9, stroke: '#c62828', 'stroke-width': 2.5 }, group);
  }
  label(group, x, y, options.lines, options.color);
  return group;
}

function channelName(state, id) {
  const channel = (state.Channels || []).find((c) => c.Id === id);
  return channel ? channel.Name : `channel ${id}`;
}

// A rotation leaves -0.04 and the like where the game placed a player on an axis; "-0.0" reads
// as a different place than "0.0".
function oneDecimal(value) {
  const text = value.toFixed(1);
  return text === '-0.0' ? '0.0' : text;
}

function clientStates(state, client) {
  const whispered = state.Whisper && state.Whisper.Clients ? state.Whisper.Clients : [];
  const tags = [];
  if (client.IsTalking) tags.push(['talking', 'talking']);
  if (client.IsUser && client.IsMicrophoneMuted) tags.push(['muted', 'mic muted']);
  if (client.IsUser && client.IsSoundMuted) tags.push(['muted', 'sound muted']);
  if (!client.IsUser && client.IsLocallyMuted) tags.push(['muted', 'muted']);
  if (whispered.includes(client.Id)) tags.push(['whisper', 'whispered to']);
  if (!client.IsUser && client.Position) {
    tags.push(['placed', `3D ${oneDecimal(client.Position.X)}, ${oneDecimal(client.Position.Y)}`]);
  }
  return tags;
}

function drawHostMap(state) {
  const svg = document.getElementById('host-map');
  svg.replaceChildren();
  const clients = state.Clients || [];
  const user = clients.find((c) => c.IsUser);
  const listener = state.Listener ? state.Listener.Position : { X: 0, Y: 0 };
  const placed = clients.filter((c) => !c.IsUser && c.Position);
  const points = [{ x: listener.X, y: listener.Y }, ...placed.map((c) => ({ x: c.Position.X, y: c.Position.Y }))];
  const projection = Projection(points, 4);
  drawGrid(svg, projection);
  const at = (c) => (c.IsUser ? { x: projection.x(listener.X), y: projection.y(listener.Y) }
    : { x: projection.x(c.Position.X), y: projection.y(c.Position.Y) });
  const whispered = state.Whisper && state.Whisper.Clients ? state.Whisper.Clients : [];
  const lines = element('g', { class: 'whispers' }, svg);
  if (user) {
    for (const target of placed.filter((c) => whispered.includes(c.Id))) {
      const from = at(user), to = at(target);
      element('line', { x1: from.x, y1: from.y, x2: to.x, y2: to.y, stroke: '#ef6c00', 'stroke-width': 2,
        'stroke-dasharray': '6 4', class: 'whisper', 'data-target': target.Name }, lines);
    }
  }
  for (const client of placed.concat(user ? [user] : [])) {
    const p = at(client);
    marker(svg, p.x, p.y, {
      name: client.Name, user: client.IsUser, color: client.IsUser ? '#1565c0' : '#37474f',
      talking: client.IsTalking, muted: client.IsUser ? client.IsMicrophoneMuted : client.IsLocallyMuted,
      lines: [client.IsUser ? `${client.Name} (user)` : client.Name, channelName(state, client.Channel)],
    });
  }
  const unplaced = clients.filter((c) => !c.IsUser && !c.Position).map((c) => c.Name);
  const notes = [];
  if (!state.Listener) notes.push('The listener is at 0, 0: the plugin places voices relative to the user.');
  if (unplaced.length) notes.push(`Not placed in 3D: ${unplaced.join(', ')}.`);
  if (whispered.length) notes.push(`The user whispers to ${whispered.length} client(s).`);
  document.getElementById('host-notes').textContent = notes.join(' ');
}

function drawGameMap(state) {
  const figure = document.getElementById('game-figure');
  const game = state.Game;
  figure.hidden = !game;
  const step = document.getElementById('step');
  step.hidden = !(game && game.Step);
  step.textContent = game && game.Step ? `Step: ${game.Step}` : '';
  if (!game) return;
  const svg = document.getElementById('game-map');
  svg.replaceChildren();
  const players = (game.Players || []).slice();
  const self = game.Self ? Object.assign({ IsSelf: true, IsAlive: true }, game.Self) : null;
  const everyone = self ? [self, ...players] : players;
  const byName = new Map(everyone.map((p) => [p.Name, p]));
  const megaphones = game.Megaphones || [];
  const points = everyone.map((p) => ({ x: p.X || 0, y: p.Y || 0, r: p.VoiceRange || 0 }));
  for (const m of megaphones) {
    const p = byName.get(m.Name);
    if (p) points.push({ x: p.X || 0, y: p.Y || 0, r: m.Range || 0 });
  }
  const projection = Projection(points, 10);
  drawGrid(svg, projection);
  const X = (p) => projection.x(p.X || 0), Y = (p) => projection.y(p.Y || 0);
  const talking = new Set((state.Clients || []).filter((c) => c.IsTalking).map((c) => c.Name));
  const ranges = element('g', { class: 'ranges' }, svg);
  for (const p of everyone) {
    if (p.VoiceRange > 0) {
      element('circle', { cx: X(p), cy: Y(p), r: p.VoiceRange * projection.scale, fill: p.IsSelf ? '#1565c0' : '#607d8b',
        'fill-opacity': 0.06, stroke: p.IsSelf ? '#1565c0' : '#90a4ae', 'stroke-dasharray': '4 3', class: 'voice-range' }, ranges);
    }
  }
  for (const m of megaphones) {
    const p = byName.get(m.Name);
    if (!p) continue;
    element('circle', { cx: X(p), cy: Y(p), r: (m.Range || 0) * projection.scale, fill: '#d84315', 'fill-opacity': 0.05,
      stroke: '#d84315', 'stroke-width': 2, 'stroke-dasharray': '10 5', class: 'megaphone' }, ranges);
  }
  const links = element('g', { class: 'links' }, svg);
  const transmitting = new Map((game.Transmissions || []).map((t) => [t.Name, t.Frequency]));
  for (const net of game.Radios || []) {
    const members = (net.Members || []).map((n) => byName.get(n)).filter(Boolean);
    for (const sender of members.filter((m) => transmitting.get(m.Name) === net.Frequency)) {
      for (const receiver of members.filter((m) => m !== sender)) {
        element('line', { x1: X(sender), y1: Y(sender), x2: X(receiver), y2: Y(receiver), stroke: '#00838f',
          'stroke-width': 2.5, class: 'radio', 'data-frequency': net.Frequency }, links);
      }
    }
  }
  for (const call of game.Phones || []) {
    const a = byName.get(call.Caller), b = byName.get(call.Partner);
    if (a && b) {
      element('line', { x1: X(a), y1: Y(a), x2: X(b), y2: Y(b), stroke: '#6a1b9a', 'stroke-width': 2.5,
        'stroke-dasharray': '2 4', 'stroke-linecap': 'round', class: 'phone' }, links);
    }
  }
  for (const p of everyone) {
    const extra = [];
    if (transmitting.has(p.Name)) extra.push(`radio ${transmitting.get(p.Name)}`);
    if (megaphones.some((m) => m.Name === p.Name)) extra.push('megaphone');
    if (p.IsAlive === false) extra.push('dead');
    marker(svg, X(p), Y(p), {
      name: p.Name, user: p.IsSelf, color: p.IsSelf ? '#1565c0' : (p.IsAlive === false ? '#9e9e9e' : '#37474f'),
      hollow: p.IsAlive === false, talking: talking.has(p.Name),
      lines: [p.IsSelf ? `${p.Name} (user)` : p.Name, extra.join(', ')].filter((l) => l),
    });
  }
  const notes = [];
  for (const net of game.Radios || []) notes.push(`Radio ${net.Frequency}: ${(net.Members || []).join(', ')}`);
  for (const call of game.Phones || []) notes.push(`Phone: ${call.Caller} ↔ ${call.Partner}`);
  if ((game.Sounds || []).length) notes.push(`Sounds: ${game.Sounds.join(', ')}`);
  document.getElementById('game-notes').textContent = notes.join(' · ');
}

function button(text, action, client, pressed, pressedClass) {
  const node = html('button', text);
  node.type = 'button';
  node.dataset.action = action;
  node.dataset.client = client.Id;
  if (pressed) node.classList.add(pressedClass || 'on');
  return node;
}

function drawClients(state) {
  const body = document.querySelector('#clients tbody');
  body.replaceChildren();
  const connected = state.Server && state.Server.IsConnected;
  for (const client of state.Clients || []) {
    const row = html('tr', undefined, client.IsUser ? 'user' : '');
    row.dataset.clientId = client.Id;
    row.dataset.name = client.Name;
    row.appendChild(html('td', client.IsUser ? `${client.Name} (user)` : client.Name, 'name'));
    const channelCell = html('td', undefined, 'channel');
    const select = html('select');
    select.dataset.action = 'move';
    select.dataset.client = client.Id;
    select.disabled = !connected;
    for (const channel of state.Channels || []) {
      const option = html('option', (channel.Parent ? '  ' : '') + channel.Name);
      option.value = channel.Id;
      option.selected = channel.Id === client.Channel;
      select.appendChild(option);
    }
    channelCell.appendChild(select);
    row.appendChild(channelCell);
    const stateCell = html('td', undefined, 'state');
    for (const [kind, text] of clientStates(state, client)) stateCell.appendChild(html('span', text, kind));
    row.appendChild(stateCell);
    const controls = html('td', undefined, 'controls');
    controls.appendChild(button(client.IsTalking ? 'Stop talking' : 'Talk', 'talk', client, client.IsTalking, 'talking'));
    if (client.IsUser) {
      controls.appendChild(button(client.IsMicrophoneMuted ? 'Unmute mic' : 'Mute mic', 'mute', client, client.IsMicrophoneMuted));
      controls.appendChild(button(client.IsSoundMuted ? 'Unmute sound' : 'Mute sound', 'sound', client, client.IsSoundMuted));
    } else {
      controls.appendChild(button(client.IsLocallyMuted ? 'Unmute' : 'Mute', 'mute', client, client.IsLocallyMuted));
    }
    for (const node of controls.querySelectorAll('button')) node.disabled = !connected;
    row.appendChild(controls);
    body.appendChild(row);
  }
}

function pill(id, text, kind) {
  const node = document.getElementById(id);
  node.textContent = text;
  node.className = `pill ${kind}`;
}

function drawStatus(state) {
  const server = state.Server || { Status: 0, IsConnected: false };
  pill('server-status', `server: ${StatusNames[server.Status] || server.Status}`,
    server.Status === 4 ? 'good' : server.IsConnected ? 'wait' : 'bad');
  const link = state.GameLink || {};
  pill('link-status', `game link: ${link.IsConnected ? 'connected' : 'not connected'} (${link.Address || '?'})`,
    link.IsConnected ? 'good' : 'bad');
  const instances = (link.Instances || []).map((i) => InstanceStates[i.State] || i.State);
  const count = link.ActiveInstances === null || link.ActiveInstances === undefined ? '?' : link.ActiveInstances;
  pill('instance-status', `instances: ${count}${instances.length ? ' · ' + instances.join(', ') : ''}`,
    instances.includes('Ingame') ? 'good' : '');
  const connection = document.getElementById('connection-button');
  connection.textContent = server.IsConnected ? 'Disconnect' : 'Connect';
  connection.dataset.connected = server.IsConnected ? 'true' : 'false';
}

function drawBroadcasts(state) {
  const list = document.getElementById('broadcasts');
  list.replaceChildren();
  const records = (state.GameLink && state.GameLink.Records) || [];
  if (!records.length) {
    list.appendChild(html('li', 'Nothing yet: the plugin broadcasts once a game has started an instance.', 'empty'));
  }
  for (const record of records.slice().reverse()) {
    const item = html('li');
    item.value = record.Number;
    item.dataset.kind = record.Kind;
    item.appendChild(html('span', record.Time + ' ', 'time'));
    item.appendChild(html('span', record.Kind, `kind ${record.Kind}`));
    item.appendChild(html('code', record.Text));
    list.appendChild(item);
  }
}

function draw(state) {
  latest = state;
  drawStatus(state);
  drawGameMap(state);
  drawHostMap(state);
  drawClients(state);
  drawBroadcasts(state);
  document.body.dataset.updates = String(Number(document.body.dataset.updates || 0) + 1);
}

async function control(path, body) {
  const answer = document.getElementById('answer');
  try {
    const response = await fetch(path, { method: 'POST', headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(body || {}) });
    const reply = await response.json();
    answer.textContent = reply.Done || reply.Error || response.statusText;
    answer.className = response.ok ? 'done' : 'error';
    // A refused control changed nothing: the controls show the scene again, not the choice.
    if (!response.ok && latest) draw(latest);
  } catch (error) {
    answer.textContent = `The console did not answer: ${error}`;
    answer.className = 'error';
  }
}

document.addEventListener('click', (event) => {
  const target = event.target.closest('button[data-action]');
  if (!target || !latest) return;
  const id = Number(target.dataset.client);
  const client = (latest.Clients || []).find((c) => c.Id === id);
  if (target.dataset.action === 'connection') {
    control(target.dataset.connected === 'true' ? '/api/server/disconnect' : '/api/server/connect');
  } else if (client && target.dataset.action === 'talk') {
    control(`/api/clients/${id}/talk`, { Talking: !client.IsTalking });
  } else if (client && target.dataset.action === 'mute') {
    control(`/api/clients/${id}/mute`, { Muted: client.IsUser ? !client.IsMicrophoneMuted : !client.IsLocallyMuted });
  } else if (client && target.dataset.action === 'sound') {
    control(`/api/clients/${id}/sound`, { Muted: !client.IsSoundMuted });
  }
});

document.addEventListener('change', (event) => {
  const target = event.target;
  if (target.dataset.action === 'move') {
    control(`/api/clients/${target.dataset.client}/move`, { Channel: Number(target.value) });
  }
});

// Live push first; while the stream is down the page asks once a second.
function listen() {
  const push = document.getElementById('push-status');
  let pollTimer = null;
  const poll = async () => {
    try {
      const response = await fetch('/api/state', { cache: 'no-store' });
      if (response.ok) draw(await response.json());
    } catch (error) { /* the next poll tries again */ }
  };
  const source = new EventSource('/api/events');
  source.addEventListener('state', (event) => draw(JSON.parse(event.data)));
  source.onopen = () => {
    clearInterval(pollTimer); pollTimer = null;
    push.textContent = 'live'; push.className = 'pill good';
  };
  source.onerror = () => {
    push.textContent = 'polling'; push.className = 'pill wait';
    if (!pollTimer) pollTimer = setInterval(poll, 1000);
  };
  poll();
}

listen();
