// A private X display for the browsers that give WebGL only in a window (Firefox, WebKitGTK).
import {spawn} from 'node:child_process';
import {once} from 'node:events';

// Starts Xvfb on the first free display number, which Xvfb picks itself (-displayfd) so that two
// suites, or a person's own display, never collide. Returns {name, stop}; stop() is safe to call
// twice, and the process is also ended if Node exits before stop() is reached.
export async function startXvfb() {
  const xvfb = spawn('Xvfb',
                     ['-displayfd', '3', '-screen', '0', '1600x1200x24', '-nolisten', 'tcp'],
                     {stdio: ['ignore', 'ignore', 'inherit', 'pipe']});
  const kill = () => xvfb.kill();
  process.once('exit', kill);
  const stop = async () => {
    process.off('exit', kill);
    if (xvfb.pid !== undefined && xvfb.exitCode === null && xvfb.signalCode === null) {
      const exited = once(xvfb, 'exit');
      xvfb.kill();
      await exited;
    }
  };
  const number = await new Promise((resolve, reject) => {
    let written = '';
    xvfb.stdio[3].on('data', (chunk) => {
      written += chunk;
      if (written.includes('\n')) {
        resolve(written.trim());
      }
    });
    xvfb.on('error', reject);
    xvfb.on('exit', (code, signal) => reject(new Error(`Xvfb ended (${code ?? signal})`)));
  }).catch(async (error) => {
    await stop();
    throw error;
  });
  return {name: `:${number}`, stop};
}
