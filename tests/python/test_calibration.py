"""A short emcee calibration of two parameters of the example site against synthetic
observations recovers their values within the posterior's 95 % interval."""

import concurrent.futures

import emcee
import numpy as np

import kvsorv

TIMES = dict(start=1590.0, stop=1630.0)
PARAMETERS = ["AlambdaW", "rg"]  # wood litterfall rate, growth respiration coefficient
OUTPUTS = ["Cf", "Cw"]
TRUE_FACTORS = np.array([1.1, 0.9])  # the truth, as factors of the site's values
RELATIVE_ERROR = 0.01  # standard deviation of the observations, a fraction of the truth


def test_Calibration_RecoversTwoParametersWithin95PercentInterval(site):
    base = np.array([site.parameters[p] for p in PARAMETERS])

    def simulate(factors):
        r = site.run(list(base * factors), PARAMETERS, outputs=OUTPUTS, **TIMES)
        return np.concatenate([r[o] for o in OUTPUTS])

    rng = np.random.default_rng(20260101)
    truth = simulate(TRUE_FACTORS)
    sigma = RELATIVE_ERROR * np.abs(truth)
    observed = truth + rng.normal(0.0, sigma)

    def log_posterior(factors):
        if np.any(factors < 0.7) or np.any(factors > 1.3):  # uniform prior
            return -np.inf
        try:
            simulated = simulate(factors)
        except kvsorv.Error:  # a run the model cannot finish has no likelihood
            return -np.inf
        return -0.5 * np.sum(((simulated - observed) / sigma) ** 2)

    walkers, steps, burn = 8, 250, 100
    start = 1.0 + 0.05 * rng.standard_normal((walkers, 2))
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        sampler = emcee.EnsembleSampler(walkers, 2, log_posterior, pool=pool)
        sampler.random_state = np.random.RandomState(7).get_state()
        sampler.run_mcmc(start, steps)
    chain = sampler.get_chain(discard=burn, flat=True)
    low, high = np.percentile(chain, [2.5, 97.5], axis=0)
    assert np.all(low <= TRUE_FACTORS) and np.all(TRUE_FACTORS <= high), (low, high)
    # The data inform the parameters: the interval is far narrower than the prior's 0.7..1.3.
    assert np.all(high - low < 0.2), (low, high)
