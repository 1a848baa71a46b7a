"""Registers by number and by name."""

import pytest


def test_round_trip(board):
    board.write("ch1.HOFFSET", 136)  # by name ...
    assert board.read(23) == 136  # ... and by address: channel 1's HOFFSET is 16 + 7


def test_a_field_is_read_modify_write(board):
    board.write("ch0.STATUS.HINC", 1)
    board.write("ch0.STATUS.BLANK", 1)
    assert board.read("ch0.STATUS.HINC") == 1  # the other bits stay


def test_a_read_only_register_is_refused(board):
    with pytest.raises(ValueError, match="read-only"):
        board.write("LOSALL", 1)


@pytest.mark.osdex_hardware
def test_every_channel_answers(board):
    # Runs only with --osdex-port: a real board (or a sim:FILE one) of your choosing.
    for channel in range(8):
        board.write(f"ch{channel}.QPH", 0x5A)
        assert board.read(f"ch{channel}.QPH") == 0x5A
