// Writes the lessons page: the viewer's own page (index.html) with the lessons beside its picture.
// The lessons are docs/LESSONS.md, rendered as it is, so the page and the Markdown file say the
// same; each `<!-- try NAME "LABEL": STEPS -->` in it becomes a button that shows that step in the
// viewer (lessons.js).
//   node render.mjs LESSONS.md INDEX.html OUTPUT.html
import fs from 'node:fs';

import {marked} from 'marked';

import {labScripts, quote} from '../lab/quote.mjs';

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

// A step a button cannot take fails the build, with the page's own words for why: the steps are
// read as the page reads them (page/steps.js), and the lab's numbers checked as the lab checks
// them.
const pageScripts = labScripts(quote(new URL('../../..', import.meta.url).pathname).quoted);
for (const [, name, , steps] of fs.readFileSync(lessonsFile, 'utf8').matchAll(TRY)) {
  for (const text of steps.trim().split(' ').filter(Boolean)) {
    try {
      const step = pageScripts.givenSteps.stepOf(text);
      if (step.number) {
        pageScripts.lab.checked(pageScripts.lab.number(step.number), step.value);
      }
    } catch (error) {
      console.error(`${lessonsFile}: the button ${name} cannot take "${text}": ${error.message}`);
      process.exit(1);
    }
  }
}

// Code and tables may be wider than the column: each scrolls in a region of its own, which the
// keyboard can reach and a screen reader can name.
let regions = 0;
const scrolling = (what, html) => {
  regions += 1;
  return `<div class="scrolls" role="region" tabindex="0" aria-label="${what} ${regions}">${html}` +
         '</div>';
};
const lessons = marked.parse(fs.readFileSync(lessonsFile, 'utf8'), {gfm: true}).replace(
  TRY, (_, name, label, steps) =>
    `<p class="try"><button type="button" data-try="${escape(steps.trim())}" ` +
    `data-name="${name}">${escape(label)} <span class="afresh">(starts the picture and the lab ` +
    'afresh)</span></button></p>')
  .replace(/<pre>[^]*?<\/pre>/g, (block) => scrolling('Code', block))
  .replace(/<table>[^]*?<\/table>/g, (table) => scrolling('Table', table));
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
page = replaceOnce(page, /<nav id="elsewhere"([^>]*)>[^]*?<\/nav>/,
                   '<nav id="elsewhere"$1><a href="index.html">The viewer on its own page</a></nav>');
// Here the lessons are the page's main content, and the viewer, with what the program prints,
// stands beside them; the window's title names the viewer's picture, the lessons have their own
// heading, and their introduction takes the place of the viewer's page's first lines.
const FIRST_LINES = /<h1 id="title">([^<]*)<\/h1>\s*<p id="first-look">[^]*?<\/p>\s*<\/header>/;
page = replaceOnce(page, new RegExp(FIRST_LINES.source + /\s*<main>/.source),
                   `</header>\n<div id="layout">\n<main id="lessons">\n${lessons}</main>\n` +
                   '<aside id="viewer" aria-labelledby="title">\n<h2 id="title">$1</h2>');
// Beside the lessons, the picture stays at the top of the column and what follows it (the keys, the
// probe, the lab and what the program prints) scrolls below it, so that nothing lies under it.
page = replaceOnce(page, /<div id="beside">/, '<div id="viewer-scroll">\n<div id="beside">');
page = replaceOnce(page, /<\/main>\s*<aside aria-labelledby="usage-title">([^]*?)<\/aside>/,
                   '<section aria-labelledby="usage-title">$1</section>\n</div>\n</aside>\n</div>');
page = replaceOnce(page, /<script>/, '<script src="lessons.js"></script>\n<script>');
// The lessons' buttons set the lab's numbers; its panel opens when a student wants it.
page = replaceOnce(page, /<details id="lab-open" open>/, '<details id="lab-open">');
fs.writeFileSync(output, page);
