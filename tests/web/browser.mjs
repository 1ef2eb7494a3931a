// Debian's chromium, started as the tests and the benchmark need it: headless,
// no sandbox (root), and none of the background connections a closed network
// refuses.
import { chromium } from "playwright-core";

export function launchChromium() {
  return chromium.launch({
    executablePath: "/usr/bin/chromium",
    chromiumSandbox: false,
    args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
}
