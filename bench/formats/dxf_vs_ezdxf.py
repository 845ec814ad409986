#!/usr/bin/env python3
"""DXF reading speed against ezdxf (python3-ezdxf), both reading the same file on the same machine.

    python3 bench/formats/dxf_vs_ezdxf.py [--cli build/bin/pqdraw-cli] [--entities 200000] [--runs 3] [--file F.dxf]

Writes a DXF of lines, bulged polylines, circles, arcs and texts (the mix bench_formats' BM_DxfImport
reads), then times whole processes by their processor time (user + system, from the kernel's account of
each finished child): `pqdraw-cli info FILE` against `python3 -c "import ezdxf; ezdxf.readfile(FILE)"`.
Prints the medians and their ratio, and the ratio of ezdxf's readfile alone (timed inside Python,
without the interpreter's start and ezdxf's import) to our whole process.
"""

import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile

EZDXF_READ = (
    "import time,sys,logging; logging.disable(logging.CRITICAL); import ezdxf; "
    "t=time.process_time(); ezdxf.readfile(sys.argv[1]); print(time.process_time()-t)"
)


def write_file(path, entities):
    rnd = random.Random(7)
    out = [
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$INSUNITS\n 70\n4\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nENTITIES\n"
    ]
    for i in range(entities):
        x = rnd.uniform(0.0, 1000.0)
        y = rnd.uniform(0.0, 1000.0)
        kind = i % 10
        head = f"  5\n{i + 0x100:X}\n330\n1F\n100\nAcDbEntity\n  8\n0\n"
        if kind < 4:
            out.append(f"  0\nLINE\n{head}100\nAcDbLine\n 10\n{x:.4f}\n 20\n{y:.4f}\n 30\n0.0\n"
                       f" 11\n{x + 10:.4f}\n 21\n{y + 5:.4f}\n 31\n0.0\n")
        elif kind < 6:
            out.append(f"  0\nLWPOLYLINE\n{head}100\nAcDbPolyline\n 90\n3\n 70\n1\n"
                       f" 10\n{x:.4f}\n 20\n{y:.4f}\n 42\n0.4\n 10\n{x + 8:.4f}\n 20\n{y:.4f}\n"
                       f" 10\n{x + 8:.4f}\n 20\n{y + 6:.4f}\n")
        elif kind < 8:
            arc = "100\nAcDbArc\n 50\n30.0\n 51\n250.0\n" if kind == 7 else ""
            out.append(f"  0\n{'ARC' if kind == 7 else 'CIRCLE'}\n{head}100\nAcDbCircle\n"
                       f" 10\n{x:.4f}\n 20\n{y:.4f}\n 30\n0.0\n 40\n{1 + x / 100:.4f}\n{arc}")
        else:
            out.append(f"  0\nTEXT\n{head}100\nAcDbText\n 10\n{x:.4f}\n 20\n{y:.4f}\n 30\n0.0\n"
                       f" 40\n2.5\n  1\nLabel {i}\n")
    out.append("  0\nENDSEC\n  0\nEOF\n")
    with open(path, "w", newline="\n") as f:
        f.write("".join(out))


def cpu_of(command):
    """Processor time of one finished child process, and its standard output."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit(f"failed ({process.returncode}): {' '.join(command)}")
    return usage.ru_utime + usage.ru_stime, output.decode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=os.path.join("build", "bin", "pqdraw-cli"))
    # The system's Python, where the python3-ezdxf package installs ezdxf.
    parser.add_argument("--python", default="/usr/bin/python3")
    parser.add_argument("--entities", type=int, default=200000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--file", help="read this DXF instead of writing one")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        path = args.file
        if path is None:
            path = os.path.join(folder, "bench.dxf")
            write_file(path, args.entities)
        print(f"file: {os.path.getsize(path) / 1e6:.1f} MB")
        ours, peer, peer_read = [], [], []
        # Interleaved, so that a change in the machine's load touches both sides alike.
        for _ in range(args.runs):
            ours.append(cpu_of([args.cli, "info", path])[0])
            seconds, output = cpu_of([args.python, "-c", EZDXF_READ, path])
            peer.append(seconds)
            peer_read.append(float(output.split()[-1]))
        o, p, r = (statistics.median(v) for v in (ours, peer, peer_read))
        print(f"pqdraw-cli info: median {o:.3f} s of {args.runs} ({', '.join(f'{v:.3f}' for v in ours)})")
        print(f"ezdxf process:   median {p:.3f} s ({', '.join(f'{v:.3f}' for v in peer)})")
        print(f"ezdxf readfile:  median {r:.3f} s ({', '.join(f'{v:.3f}' for v in peer_read)})")
        print(f"ratio (whole processes): {p / o:.1f}")
        print(f"ratio (ezdxf readfile alone over our whole process): {r / o:.1f}")


if __name__ == "__main__":
    main()
