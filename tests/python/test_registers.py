"""Registers by number and by name: fields, 9-bit line values, refusals, the dump."""

import pytest

import osdex


def test_a_number_reaches_the_register_and_its_name(board):
    board.write(23, 136)
    assert board.read(23) == 136
    assert board.read("ch1.HOFFSET") == 136
    assert board.read("CH1.hoffset") == 136  # names ignore case


def test_number_texts_are_numbers(board):
    board.write("0x17", 99)
    assert board.read(0x17) == 99


def test_a_field_write_keeps_the_other_bits(board):
    board.write("ch0.STATUS", 0x08)  # HINC
    board.write("ch0.STATUS.BLANK", 1)
    assert board.read("ch0.STATUS.BLANK") == 1
    assert board.read("ch0.STATUS.HINC") == 1
    board.write("ch0.STATUS.BLANK", 0)
    assert board.read("ch0.STATUS") == 0x08


def test_a_line_value_is_both_registers_high_first(board):
    board.write("ch2.QPLINE", 300)
    assert board.read("ch2.QPLINEH") == 1
    assert board.read("ch2.QPLINEL") == 300 - 256
    assert board.read("ch2.QPLINE") == 300


def test_the_multi_channel_bank_by_both_names(board):
    board.write("CONTROL", 5)
    assert board.read("all.CONTROL") == 5
    assert board.read(135) == 5


def test_power_up_values(board):
    assert board.read("ch3.HOFFSET") == 128
    assert board.read("ch3.VOFFSET") == 128
    assert board.read("LOSALL") == 0


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda b: b.write("ch0.STATUS.LOS", 1), "read-only"),
        (lambda b: b.read("ch0.COMMAND"), "trigger"),
        (lambda b: b.read("MWRITE"), "trigger"),
        (lambda b: b.read("ch0.HOFSET"), "ch0.HOFFSET"),  # the nearest name
        (lambda b: b.read("ch8.HOFFSET"), "nearest"),
        (lambda b: b.write(256, 0), "0..255"),
        (lambda b: b.write(-1, 0), "0..255"),
        (lambda b: b.write(23, 256), "0..255"),
        (lambda b: b.write("ch0.STATUS.BLANK", 2), "0..1"),
        (lambda b: b.write("ch0.QPLINE", 512), "0..511"),
        (lambda b: b.read("12x"), "bad register address"),
    ],
)
def test_bad_registers_and_values_are_refused(board, call, message):
    with pytest.raises(ValueError, match=message):
        call(board)


def test_a_refused_write_sends_nothing(board):
    with pytest.raises(ValueError):
        board.write(23, 300)
    with pytest.raises(ValueError):
        board.write("ch1.HOFFSET", 300)
    assert board.read(23) == 128


def test_wrong_types_are_type_errors(board):
    with pytest.raises(TypeError):
        board.write(1.5, 0)
    with pytest.raises(TypeError):
        board.write(23, "x")


def test_numpy_and_bool_numbers_are_numbers(board):
    np = pytest.importorskip("numpy")
    board.write(np.uint8(23), np.int64(7))
    assert board.read(np.int32(23)) == 7


def test_dump_has_registers_fields_and_lines_but_no_triggers(board):
    board.write("ch1.HOFFSET", 77)
    board.write("ch4.SHRBEG", 257)
    values = board.dump()
    assert values["ch1.HOFFSET"] == 77
    assert values["ch4.SHRBEG"] == 257
    assert values["ch0.STATUS.BLANK"] == 0
    assert "ch0.COMMAND" not in values and "MWRITE" not in values
    assert set(values) <= set(osdex.register_names())


def test_register_info():
    info = osdex.register_info("ch1.status.blank")
    assert info["name"] == "ch1.STATUS.BLANK"
    assert info["kind"] == "field" and info["max"] == 1 and info["writable"]
    assert osdex.register_info("LOSALL")["writable"] is False
    with pytest.raises(ValueError, match="nearest"):
        osdex.register_info("nothing")
