"""One ensemble member's run through the Python module: the example site, 2000 years from
year 0, 20 outputs at every output line, as ensemble_bench's BM_MemberRunAlone runs it in C++.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_member_bench.py
"""

import pathlib
import statistics
import time

import kvsorv

EXAMPLES = pathlib.Path(__file__).resolve().parents[1] / "examples"
OUTPUTS = ["Cf", "Cw", "Cr", "Nf", "Nw", "Nr", "Clf", "Clw", "Clr", "Nlf",
           "Nlw", "Nlr", "Cs", "Ce", "Ci", "Ch", "Na", "Nh", "Nnh4", "NEP"]


def main(repeats=30):
    site = kvsorv.Site(str(EXAMPLES / "cell1.par"), str(EXAMPLES / "cell1.drr"))
    run = lambda: site.run([80.0], ["mf"], outputs=OUTPUTS, stop=2000.0)  # noqa: E731
    run()
    seconds = []
    for _ in range(repeats):
        begin = time.perf_counter()
        run()
        seconds.append(time.perf_counter() - begin)
    print(f"member run through Python: median {1e3 * statistics.median(seconds):.2f} ms, "
          f"min {1e3 * min(seconds):.2f} ms over {repeats} runs")


if __name__ == "__main__":
    main()
