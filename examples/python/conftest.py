# The osdex plugin gives every test a `board`: a fresh simulated board, or the board named by
# `pytest --osdex-port TARGET` (sim:FILE, /dev/parport0, ...).
pytest_plugins = ["osdex.pytest_plugin"]
