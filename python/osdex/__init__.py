"""The Osdex evaluation board from Python.

The same board as the ``osdex`` command, without a process per access::

    import osdex
    with osdex.open("sim:bench.osdex") as board:     # any osdex --port target
        board.write(23, 136)                           # a number: always sent
        board.read("ch1.HOFFSET")                      # or a name of the register table
        board.write("ch0.STATUS.BLANK", 1)             # a field: read-modify-write
        reads = board.replay("regtest.bat")            # [(address, value), ...] of its rdreg lines
        levels = board.memory(0)                       # numpy uint8 (512, 712), levels 0..15
        board.load_memory(3, levels)
        board.erase("all", 0)
        frame = board.monitor(0)                       # numpy uint8 (512, 712, 3), RGB
        board.save_state("monday.osdex")
        board.restore_state("monday.osdex")
        registers = board.dump()                       # {name: value}
        with board.hold():                             # a served board: no other client between
            board.write(134, 1)

Leaving the ``with`` block (also by an exception) closes the board and writes a
``sim:FILE`` board back to its file. One board is open per process. Bad arguments raise
``ValueError`` before anything is sent; port and bus failures, and a board in use by another
process, raise :class:`osdex.Error`.

Tests: ``pytest -p osdex.pytest_plugin`` (or ``pytest_plugins = ["osdex.pytest_plugin"]`` in
a conftest.py) gives a ``board`` fixture, a fresh simulated board per test unless
``--osdex-port TARGET`` names another.
"""

from ._osdex import Board, BoardHold, Error, open, register_info, register_names

# The names the first design of this module used.
BoardError = Error

__all__ = ["Board", "BoardHold", "Error", "BoardError", "open", "register_info", "register_names"]
