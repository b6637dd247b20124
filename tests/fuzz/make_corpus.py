#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/: the
shipped files and hand-made edge files. Run again after changing it; the
files are kept in the repository."""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SEP = b"\n--8<--\n"

KEYS = [b"DEVICE", b"SPEED", b"BRAKE_LEVEL", b"LR_TURN", b"LR_SLIDE", b"LR_RESIST", b"GRIP_MIN",
        b"GRIP_QUICK", b"GRIP_RETURN", b"BRAKE_GRIP_TIME", b"RIDGE_RAIL", b"CORNER_ARCH",
        b"COURSE_WIDE", b"GHOST_FORWARD_SCALE"]


def shipped(name):
    with open(os.path.join(ROOT, "data", name), "rb") as f:
        return f.read()


def line_of(length, head):
    """A line of exactly `length` characters before its newline."""
    return head + b" " * (length - len(head) - 5) + b"# pad\n" if length >= len(head) + 5 else head[:length] + b"\n"


def common_edges(key_line, number_line):
    seeds = {
        "empty": b"",
        "only_cr": b"\r" * 40,
        "only_lf": b"\n" * 40,
        "cr_lf_mixed": key_line.replace(b"\n", b"\r\n") + b"\r" + key_line + b"\n\r\n\r",
        "no_final_newline": key_line.rstrip(b"\n"),
        "nul_bytes": b"\0" * 10 + key_line + b"\0\n" + key_line.replace(b" ", b"\0"),
        "high_bit": bytes(range(128, 256)) + b"\n" + key_line + b"\x81\x40\xff\xfe 12\n",
        "hash_comma_equals": b"#,=#,=\n,=#\n=,#\n" + key_line.replace(b" ", b",") + key_line.replace(b" ", b"=")
        + key_line.replace(b" ", b"==") + key_line.replace(b" ", b",,") + b"=,=,=,\n,,,,,\n######\n",
    }
    for n in (158, 159, 160, 161):
        seeds["line_%d" % n] = line_of(n, key_line.rstrip(b"\n")) + key_line
        seeds["line_%d_split_number" % n] = b" " * (n - 3) + number_line
    return seeds


def settings_seeds():
    seeds = {"shipped_config": shipped("config.txt"), "shipped_config_bak": shipped("config_bak.txt")}
    seeds.update(common_edges(b"SPEED 15000\n", b"SPEED 123456789\n"))
    big = [b"99999999999", b"-99999999999", b"2147483647", b"2147483648", b"-2147483648", b"-2147483649",
           b"18446744073709551616", b"-" + b"9" * 60, b"+0", b"-0"]
    seeds["numbers_beyond_32_bits"] = b"".join(k + b" " + big[i % len(big)] + b"\n" for i, k in enumerate(KEYS))
    for v in (b"0", b"-1", b"2147483647", b"-2147483648"):
        seeds["all_keys_" + v.decode().replace("-", "minus")] = b"".join(k + b" " + v + b"\n" for k in KEYS)
    seeds["key_repeated"] = b"".join(b"SPEED %d\n" % (i * 37 - 500) for i in range(300))
    seeds["key_only_lines"] = b"SPEED 9000\nDEVICE\nGRIP_MIN\n\n# note\nCORNER_ARCH\n"
    seeds["substring_keys"] = b"MAX_SPEED 1\nDEVICE_SPEED 2\nspeed 3\nXXGRIP_MINXX 4\n"
    return seeds


def course_seeds():
    seeds = {"shipped_map": shipped("map.txt"), "shipped_map_bak": shipped("map_bak.txt")}
    seeds.update(common_edges(b"10 5\n", b"10 123456789\n"))
    seeds["sections_out_of_range"] = (b"-1 5\n-2147483648 7\n1600 9\n1599 11\n800 13\n2147483647 15\n"
                                      b"99999999999 17\n-99999999999 19\n799 -21\n")
    seeds["values_beyond_32_bits"] = b"".join(b"%d %s\n" % (i * 40, v) for i, v in enumerate(
        [b"99999999999", b"-99999999999", b"2147483647", b"-2147483648", b"99999999", b"-2001", b"2001"]))
    seeds["alternating_extremes"] = b"".join(b"%d %d\n" % (i, 2000 if i % 2 else -2000) for i in range(800))
    seeds["section_repeated"] = b"".join(b"5 %d\n" % (i - 150) for i in range(300))
    seeds["one_number_lines"] = b"3 7\n9\n12\n\n# c\n400\n"
    seeds["unset_marker"] = b"0 99999999\n1 99999999\n400 99999999\n799 99999999\n"
    return seeds


def script_seeds():
    with open(os.path.join(ROOT, "tests", "data", "clean_lap.txt"), "rb") as f:
        lap = f.read()
    return {
        "clean_lap": lap,
        "empty": b"",
        "only_lf": b"\n" * 20,
        "only_cr": b"\r" * 20,
        "every_token": b"LEFT RIGHT UP DOWN B S D M G O I C\n+LEFT +RIGHT +UP +DOWN +B +S +D +M +G +O +I +C\n"
                       b"JX=0 JB=0\nJX=65535 JB=15\nJX=32768\n",
        "comments_and_tabs": b"UP\t# throttle\r\n\t+S # faster\n# only a note\n  \t  \n",
        "bad_numbers": b"JX=65536\n",
        "bad_numbers_2": b"JB=16\nJX=-1\nJX=\nJB=99999999999999999999\n",
        "unknown_token": b"UP\nLEFTT\n",
        "no_final_newline": b"UP\nLEFT",
        "nul_and_high_bit": b"UP\0\n\xff\xfe\n+S\x80\n",
        "long_line": b"+S " * 200 + b"\n",
    }


def run_seeds(settings, course, script):
    seeds = {"shipped": shipped("config.txt") + SEP + shipped("map.txt") + SEP + script["clean_lap"][:3000]}
    seeds["shipped_press_everything"] = (shipped("config.txt") + SEP + shipped("map.txt") + SEP +
                                         b"UP +S +B +D +M +G +O +I +C LEFT\nUP RIGHT\n")
    seeds["joystick"] = (b"DEVICE 0\n" + SEP + shipped("map.txt") + SEP +
                         b"JX=0 JB=2\nJX=65535 JB=6\nJX=32768 JB=1\nJX=16383 JB=8\n")
    for v in (b"0", b"-1", b"2147483647", b"-2147483648"):
        name = "all_settings_" + v.decode().replace("-", "minus")
        seeds[name] = settings[name.replace("settings", "keys")] + SEP + course["alternating_extremes"] + SEP + \
            b"UP +S LEFT\nDOWN +B RIGHT\n+D +M +I\n"
    seeds["no_files_parts"] = b""
    seeds["edge_files"] = settings["nul_bytes"] + SEP + course["sections_out_of_range"] + SEP + script["every_token"]
    seeds["big_speed"] = b"SPEED 2147483647\nCORNER_ARCH 0\n" + SEP + course["values_beyond_32_bits"] + SEP + b"UP +S\n"
    return seeds


def write(target, seeds):
    d = os.path.join(HERE, "corpus", target)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    for name, data in seeds.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)


def main():
    s, c, sc = settings_seeds(), course_seeds(), script_seeds()
    write("settings", s)
    write("course", c)
    write("script", sc)
    write("run", run_seeds(s, c, sc))


if __name__ == "__main__":
    main()
