"""What the web tests share: waiting on the page's phase, its console errors, a clean exit status."""
import json
import os
import sys
import traceback

import devtools

# The tests serve the site with the server `make serve` uses.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web"))


class Failure(Exception):
    pass


def run(main):
    """Runs main(); exits 0 when it returns, 1 with the reason when it fails."""
    try:
        main()
    except (Failure, devtools.DevToolsError) as error:
        print("FAIL: %s" % error, file=sys.stderr)
        sys.exit(1)
    except Exception:
        traceback.print_exc()
        sys.exit(1)
    print("PASS")


def settled_phase(browser, passing=("loading",), timeout=120.0):
    """The page's phase once it is in none of the `passing` phases."""
    return browser.wait_until(
        "window.lumivaara && !%s.includes(window.lumivaara.phase) && window.lumivaara.phase"
        % json.dumps(list(passing)), timeout)


def console_errors(browser, allowed=lambda text: False):
    """The console errors the page caused, less those `allowed` accepts."""
    # The browser asks for /favicon.ico on its own; its 404 is no fault of the page.
    return [t for t in browser.console_errors if not allowed(t) and "/favicon.ico" not in t]


def expect_no_console_errors(browser, allowed=lambda text: False):
    errors = console_errors(browser, allowed)
    if errors:
        raise Failure("console errors:\n  " + "\n  ".join(errors))
