"""pytest plugin of the osdex module: a ``board`` fixture and the ``osdex_hardware`` marker.

Load it with ``pytest -p osdex.pytest_plugin`` or ``pytest_plugins = ["osdex.pytest_plugin"]``
in a conftest.py. Each test that asks for ``board`` gets a board opened for it and closed after
it: a fresh simulated board by default, or the board that ``--osdex-port TARGET`` names (any
``osdex --port`` target). Tests marked ``@pytest.mark.osdex_hardware`` need a board of their
own choosing and are skipped unless ``--osdex-port`` is given.
"""

import pytest

import osdex


def pytest_addoption(parser):
    group = parser.getgroup("osdex")
    group.addoption(
        "--osdex-port",
        metavar="TARGET",
        default=None,
        help="the board the tests' board fixture opens (an osdex --port target: sim, "
        "sim:FILE, /dev/parportN, ...); also runs the tests marked osdex_hardware",
    )


def pytest_configure(config):
    config.addinivalue_line(
        "markers", "osdex_hardware: the test needs the board --osdex-port names; skipped without it"
    )


def pytest_collection_modifyitems(config, items):
    if config.getoption("--osdex-port"):
        return
    skip = pytest.mark.skip(reason="needs --osdex-port TARGET")
    for item in items:
        if "osdex_hardware" in item.keywords:
            item.add_marker(skip)


@pytest.fixture
def osdex_port(request):
    """The target the board fixture opens: --osdex-port, else "sim"."""
    return request.config.getoption("--osdex-port") or "sim"


@pytest.fixture
def board(osdex_port):
    """An open board for one test, closed (and a sim:FILE board written back) after it."""
    with osdex.open(osdex_port) as opened:
        yield opened
