"""Runs release the GIL: Python threads run members side by side, with the results of one."""

import concurrent.futures
import sys
import threading

import numpy as np

TIMES = dict(start=1590.0, stop=1660.0)


def member(site, factor):
    name = "AlambdaW"
    return site.run([site.parameters[name] * factor], [name], **TIMES)


def test_Threads_GiveTheResultsOfOneThread(site):
    factors = [0.9, 0.95, 1.05, 1.1]
    alone = [member(site, f) for f in factors]
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        together = list(pool.map(lambda f: member(site, f), factors))
    for a, b in zip(alone, together):
        assert a.keys() == b.keys()
        for key in a:
            np.testing.assert_array_equal(a[key], b[key])


def test_RunInProgress_LetsOtherThreadsRunPython(site):
    # With a switch interval far longer than a run, a thread that held the GIL through its
    # run would set `done` before this thread could look: seen unset, the run let go of it.
    started, done = threading.Event(), threading.Event()

    def work():
        started.set()
        member(site, 1.0)
        done.set()

    interval = sys.getswitchinterval()
    sys.setswitchinterval(100.0)
    try:
        worker = threading.Thread(target=work)
        worker.start()
        started.wait()
        seen_running = not done.is_set()
        worker.join()
    finally:
        sys.setswitchinterval(interval)
    assert seen_running
