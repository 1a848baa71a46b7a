"""Drawing into display memory with numpy and reading it back."""

import numpy as np


def box(top, left, bottom, right, level):
    levels = np.zeros((512, 712), np.uint8)  # rows are QPLINE, columns pixels; 0 transparent
    levels[top:bottom, left:right] = level
    return levels


def test_draw_and_read_back(board):
    drawn = box(100, 200, 300, 500, 12)
    board.load_memory(0, drawn)
    assert np.array_equal(board.memory(0), drawn)


def test_erase(board):
    board.load_memory(2, box(0, 0, 512, 712, 9))
    board.erase(2)  # level 0: transparent
    assert not board.memory(2).any()
