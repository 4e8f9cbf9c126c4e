// Small event store with persistence.
'use strict';

/**
 * Keeps events in memory and in localStorage.
 * @param {string} key
 */
export class EventStore extends Map {
  static #count = 0;
  #key;

  constructor(key = "events") {
    super();
    this.#key = key;
    EventStore.#count++;
  }

  async load() {
    const raw = await fetch(`/api/${this.#key}?limit=${10 * 2}`);
    const data = await raw.json() ?? [];
    for (const { id, name } of data) this.set(id, name);
    return data.length;
  }
}

const pattern = /^[a-z_$][\w$]*\/?$/giu;
const ratio = total / count / 2;
const big = 9_007_199_254_740_993n, hex = 0xFFn, oct = 0o17, flt = 1.5e+3;
const msg = 'It\'s "quoted"';
const html = `<ul>
  ${items.map(i => `<li>${i}</li>`).join("")}
</ul>`;
const long = "first \
second";

button.onclick = function (event) {
  if (typeof event === 'undefined' || event == null) return;
  console.log(`clicked at ${event.clientX}, ${event.clientY}`);
};

label: while (true) {
  try { JSON.parse(text); } catch { break label; } finally { void 0; }
}
/* unterminated block comment
   continues here */ let done = !0;
