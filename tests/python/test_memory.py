"""Display memory as numpy levels: round trips, erase, and arrays refused before sending."""

import numpy as np
import pytest


def pattern(seed=0):
    rows = np.arange(512).reshape(512, 1)
    columns = np.arange(712).reshape(1, 712)
    return ((rows * 7 + columns * 3 + seed) % 16).astype(np.uint8)


def test_a_fresh_board_is_transparent(board):
    levels = board.memory(0)
    assert levels.shape == (512, 712) and levels.dtype == np.uint8
    assert not levels.any()


def test_levels_round_trip_in_one_channel_only(board):
    levels = pattern()
    board.load_memory(3, levels)
    assert np.array_equal(board.memory(3), levels)
    assert not board.memory(2).any()
    assert not board.memory(4).any()


def test_other_integer_arrays_are_taken(board):
    board.load_memory(1, pattern(5).astype(np.int64))
    assert np.array_equal(board.memory(1), pattern(5))


def test_a_round_trip_leaves_the_position_registers(board):
    board.write("ch2.STATUS", 0x14)
    board.write("ch2.QPLINE", 100)
    board.write("ch2.QPHORIZ", 9)
    board.load_memory(2, pattern())
    board.memory(2)
    assert board.read("ch2.STATUS") & 0x1F == 0x14
    assert board.read("ch2.QPLINE") == 100
    assert board.read("ch2.QPHORIZ") == 9


@pytest.mark.parametrize(
    "levels, message",
    [
        (np.zeros((512, 712), np.float32), "dtype"),
        (np.zeros((512, 711), np.uint8), "shape"),
        (np.zeros((712, 512), np.uint8), "shape"),
        (np.full((512, 712), 16, np.uint8), "expected 0..15"),
        (np.full((512, 712), -1, np.int16), "expected 0..15"),
        ([[0] * 712] * 512, "numpy array"),
    ],
)
def test_bad_arrays_are_refused_before_anything_is_sent(board, levels, message):
    board.load_memory(0, pattern())
    if isinstance(levels, np.ndarray) and levels.shape == (512, 712) and levels.dtype.kind in "iu":
        levels = levels.copy()
        levels[:256] = 1  # a good half first: nothing of it may reach the board
    with pytest.raises(ValueError, match=message):
        board.load_memory(0, levels)
    assert np.array_equal(board.memory(0), pattern())


def test_bad_channels(board):
    for channel in (8, -1):
        with pytest.raises(ValueError, match="0..7"):
            board.memory(channel)
    with pytest.raises(ValueError, match="0..7"):
        board.load_memory(8, pattern())


def test_erase_all_one_channel_and_a_list(board):
    board.erase("all", 5)
    assert (board.memory(0) == 5).all() and (board.memory(7) == 5).all()
    board.erase(3)
    assert not board.memory(3).any() and (board.memory(2) == 5).all()
    board.erase([0, 7], 9)
    assert (board.memory(0) == 9).all() and (board.memory(7) == 9).all()
    assert (board.memory(1) == 5).all()


@pytest.mark.parametrize("channels, level", [("some", 0), (8, 0), (0, 16), ([], 0)])
def test_bad_erase_arguments(board, channels, level):
    with pytest.raises(ValueError):
        board.erase(channels, level)
