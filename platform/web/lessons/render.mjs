// Writes the lessons page: the viewer's own page (index.html) with the lessons beside its picture.
// The lessons are docs/LESSONS.md, rendered as it is, so the page and the Markdown file say the
// same; each `<!-- try NAME "LABEL": STEPS -->` in it becomes a button that shows that step in the
// viewer (lessons.js).
//   node render.mjs LESSONS.md INDEX.html OUTPUT.html
import fs from 'node:fs';

import {marked} from 'marked';

const [lessonsFile, indexFile, output] = process.argv.slice(2);
if (!output) {
  console.error('usage: node render.mjs LESSONS.md INDEX.html OUTPUT.html');
  process.exit(2);
}

const TRY = /<!-- try ([a-z-]+) "([^"]+)":(.*?) *-->/g;

function escape(text) {
  return text.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
}

// Fails loudly on anything the page depends on but cannot find, rather than writing a page
// without it.
function replaceOnce(text, pattern, replacement) {
  if (!pattern.test(text)) {
    console.error(`${indexFile}: no ${pattern} to build the lessons page around`);
    process.exit(1);
  }
  return text.replace(pattern, replacement);
}

const lessons = marked.parse(fs.readFileSync(lessonsFile, 'utf8'), {gfm: true}).replace(
  TRY, (_, name, label, steps) =>
    `<p class="try"><button type="button" data-try="${escape(steps.trim())}" ` +
    `data-name="${name}">${escape(label)}</button></p>`);
if (!lessons.includes('data-try=')) {
  console.error(`${lessonsFile}: no "try" steps for the viewer`);
  process.exit(1);
}

let page = fs.readFileSync(indexFile, 'utf8');
page = replaceOnce(page, /<title>[^<]*<\/title>/, '<title>Lessons: the Orvane viewer</title>');
// Inline, as the viewer's page keeps its own style: one file fewer to copy, and no host can serve
// it with the wrong type.
const style = fs.readFileSync(new URL('lessons.css', import.meta.url), 'utf8');
page = replaceOnce(page, /<\/head>/, `<style>\n${style}</style>\n</head>`);
page = replaceOnce(page, /<body>/, '<body class="with-lessons">');
page = replaceOnce(page, /<nav id="elsewhere">[^]*?<\/nav>/,
                   '<nav id="elsewhere"><a href="index.html">The viewer on its own page</a></nav>');
// The window's title names the viewer's picture here; the lessons have their own heading.
page = replaceOnce(page, /<h1 id="title">([^<]*)<\/h1>\s*<main>/,
                   `<main>\n<article id="lessons">\n${lessons}</article>\n` +
                   '<section id="viewer">\n<h2 id="title">$1</h2>');
page = replaceOnce(page, /<\/main>/, '</section>\n</main>');
page = replaceOnce(page, /<script>/, '<script src="lessons.js"></script>\n<script>');
fs.writeFileSync(output, page);
