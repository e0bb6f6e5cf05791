#!/usr/bin/python3
"""Headless Chromium as the phones of the buzzer tests.

Reads one command a line on stdin and answers one line on stdout:
  open URL SIDE [delayed]  a new page on URL (through the delaying proxy when asked) that picks
                           SIDE and waits until its clock is fitted  -> "opened N"
  press N                  a real pointer press on page N's buzzer   -> "result N OUTCOME"
  race A B GAP             page A presses, page B GAP ms later       -> "race OUTCOME_A OUTCOME_B"
  quit
Everything stays on 127.0.0.1 and every wait is bounded.
"""
import asyncio
import shutil
import sys
import tempfile
import threading
import time
from urllib.parse import urlsplit, urlunsplit

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

DELAY_S = 0.075  # each way

SCHEDULE_PRESS = """
const at = arguments[0];
const fire = () => document.getElementById('buzz').dispatchEvent(
    new PointerEvent('pointerdown', {bubbles: true, cancelable: true, pointerType: 'touch'}));
setTimeout(() => { while (Date.now() < at) {} fire(); }, Math.max(0, at - Date.now() - 20));
"""


class DelayingProxy:
    """Forwards TCP connections to the game, holding every chunk back DELAY_S in each direction."""

    def __init__(self, target_port):
        self.target_port = target_port
        self.loop = asyncio.new_event_loop()
        ready = threading.Event()
        self.port = None

        def run():
            asyncio.set_event_loop(self.loop)
            server = self.loop.run_until_complete(asyncio.start_server(self.handle, '127.0.0.1', 0))
            self.port = server.sockets[0].getsockname()[1]
            ready.set()
            self.loop.run_forever()

        threading.Thread(target=run, daemon=True).start()
        if not ready.wait(10):
            raise RuntimeError('proxy did not start')

    async def pump(self, source, target):
        queue = asyncio.Queue()

        async def deliver():
            while True:
                due, data = await queue.get()
                wait = due - self.loop.time()
                if wait > 0:
                    await asyncio.sleep(wait)
                if not data:
                    target.close()
                    return
                target.write(data)
                await target.drain()

        delivery = asyncio.ensure_future(deliver())
        try:
            while True:
                data = await source.read(65536)
                queue.put_nowait((self.loop.time() + DELAY_S, data))
                if not data:
                    break
        except ConnectionError:
            queue.put_nowait((self.loop.time(), b''))
        await delivery

    async def handle(self, reader, writer):
        try:
            up_reader, up_writer = await asyncio.open_connection('127.0.0.1', self.target_port)
        except OSError:
            writer.close()
            return
        await asyncio.gather(self.pump(reader, up_writer), self.pump(up_reader, writer), return_exceptions=True)


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
    for flag in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                 '--disable-backgrounding-occluded-windows', '--disable-dev-shm-usage',
                 '--user-data-dir=' + profile):
        options.add_argument(flag)
    service = Service(executable_path=shutil.which('chromedriver') or '/usr/bin/chromedriver')
    driver = webdriver.Chrome(service=service, options=options)
    driver.set_page_load_timeout(15)
    driver.set_script_timeout(15)
    return driver


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.01)
    raise TimeoutError('timed out')


def main():
    profile = tempfile.mkdtemp(prefix='quizmora-buzzer-browser-')
    driver = None
    proxy = None
    pages = []
    try:
        driver = start_browser(profile)
        print('ready', flush=True)

        def attribute(page, name):
            driver.switch_to.window(pages[page])
            return driver.execute_script('return document.body.getAttribute(arguments[0]);', name)

        def results(page):
            return int(attribute(page, 'data-results') or 0)

        def wait_result(page, before):
            wait_for(lambda: results(page) > before, 10)
            return attribute(page, 'data-outcome')

        for line in sys.stdin:
            words = line.split()
            if not words:
                continue
            if words[0] == 'quit':
                break
            if words[0] == 'open':
                url, side = words[1], words[2]
                if len(words) > 3 and words[3] == 'delayed':
                    parts = urlsplit(url)
                    proxy = proxy or DelayingProxy(parts.port)
                    url = urlunsplit((parts.scheme, '127.0.0.1:%d' % proxy.port, parts.path, parts.query, ''))
                if pages:
                    driver.switch_to.new_window('window')
                pages.append(driver.current_window_handle)
                driver.get(url)
                driver.find_element(By.ID, side).click()
                wait_for(lambda: attribute(len(pages) - 1, 'data-synced') == '1', 20)
                print('opened %d' % (len(pages) - 1), flush=True)
            elif words[0] == 'press':
                page = int(words[1])
                before = results(page)
                ActionChains(driver).click(driver.find_element(By.ID, 'buzz')).perform()
                print('result %d %s' % (page, wait_result(page, before)), flush=True)
            elif words[0] == 'race':
                first, second, gap = int(words[1]), int(words[2]), int(words[3])
                before = [results(first), results(second)]
                at = int(time.time() * 1000) + 300
                for page, moment in ((first, at), (second, at + gap)):
                    driver.switch_to.window(pages[page])
                    driver.execute_script(SCHEDULE_PRESS, moment)
                print('race %s %s' % (wait_result(first, before[0]), wait_result(second, before[1])), flush=True)
    except Exception as error:  # reported to the test, which fails on it
        print('error %s' % str(error).splitlines()[0] if str(error) else 'error', flush=True)
    finally:
        if driver is not None:
            driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == '__main__':
    main()
