#!/usr/bin/env python3
"""Opens the submission dialog on analyses of extreme scenes through the stand-in 3ds Max and
times each phase from the plug-in's own logs. Run by bench/huge_scenes.sh, which sets up Wine
and the bundle; see there for how to call it.

Each run: menu 1497 opens the dialog, Analyse (1004) is pressed once, the camera dialog is
opened on the first camera and closed with OK (its changes refill the warnings list), and
Ctrl+A then Ctrl+C copy every line of the warnings list. The
host's output lines are stamped as they arrive; "ANALYSIS" is the moment the analysis file
has been written.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time
from datetime import datetime

HOST_STEPS = """timeout 3600000
menu 1497
wait-dialog 102
click 1004
double-click-row 0
wait-dialog 103
click 1014
wait-closed 103
keys 1019 ctrl+a ctrl+c
quit
"""

CAMERA_CHECK_ENDS = ("The information of cameras to be submit is valid.", "No camera checked!",
                     "The camera names to render contain invalid characters or empty!",
                     "The parameter frame to render is less than 0!")


def file_entries(out, member, count, folder):
    out.append('"%s":[' % member)
    parts = []
    for i in range(count):
        # Every seventh name is Chinese, as scenes from the farm's customers often have them.
        stem = "\u6750\u8d28_" if i % 7 == 0 else "texture_"
        parts.append('{"path":"\\\\\\\\fileserver\\\\library\\\\%s\\\\%03d\\\\%s%d.png"}' % (folder, i % 997, stem, i))
    out.append(",".join(parts))
    out.append("],")


def write_analysis(path, missing, cameras, references, same=0):
    out = ['{"name":"C:\\\\Projects\\\\Huge\\\\Huge.max","version":"27000","app_version":"2025",'
           '"renderer_full_name":"V-Ray 6 Update 2.1","image_width":"1920","image_height":"1080",'
           '"start_frame":"0","end_frame":"250","image_format":"png","gamma_out":"2.2","is_region":"false",'
           '"vray_setting":{"imagesampler_type":"1","gi_irradmap_preset":"2","gi_irradmap_minRate":"-3",'
           '"gi_irradmap_maxRate":"-1","camera_override_fov":false,"is_spherical":"false"},']
    file_entries(out, "reference_file", references, "maps")
    file_entries(out, "missing_file", missing, "missing")
    file_entries(out, "same_file", same, "same")
    out.append('"errors":{"error_code":[{"code":"102"}]},"cameras":[')
    out.append(",".join('{"name":"Camera_%05d"%s}' % (i, ',"camWidth":"1280","camHeight":"720"' if i % 3 == 0 else "")
                        for i in range(cameras)))
    out.append("]}")
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(out))
    return os.path.getsize(path)


def host_pids(prefix):
    """Processes of the stand-in host running in our Wine prefix (others may run theirs)."""
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if b"3dsmax_standin.exe" not in f.read():
                    continue
            with open("/proc/%s/environ" % entry, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() not in f.read().split(b"\0"):
                    continue
            pids.append(entry)
        except OSError:
            pass
    return pids


def peak_kib(pid):
    try:
        with open("/proc/%s/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def run_host(env, host, scene, analysis, steps):
    lines = []
    process = subprocess.Popen(["wine", host, "--scene", scene, "--analysis", analysis, "--steps", steps,
                                "--step-timeout", "3600"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, env=env)

    def read():
        for raw in process.stdout:
            lines.append((time.time(), raw.decode("utf-8", "replace").rstrip("\r\n")))

    # Wine's helper processes inherit the pipe and keep it open: the reader never sees its end.
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    peak = 0
    while process.poll() is None:
        for pid in host_pids(env["WINEPREFIX"]):
            peak = max(peak, peak_kib(pid))
        time.sleep(0.05)
    reader.join(timeout=2)
    return process.returncode, list(lines), peak


STAMP = re.compile(r"(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d):(\d{3})")


def log_lines(data_folder):
    """(time, channel, text) of every line of the plug-in's logs, in time order."""
    found = []
    for root, _, files in os.walk(data_folder):
        if not os.path.basename(root).startswith("log"):
            continue
        for name in files:
            channel = name.split(".")[0]
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                for text in f:
                    m = STAMP.search(text)
                    if not m:
                        continue
                    y, mo, d, h, mi, s, ms = map(int, m.groups())
                    t = time.mktime(datetime(y, mo, d, h, mi, s).timetuple()) + ms / 1000.0
                    found.append((t, channel, text.strip()))
    found.sort(key=lambda item: item[0])
    return found


class Timeline:
    def __init__(self, host_lines, logs):
        self.host = host_lines
        self.logs = logs

    def host_at(self, prefix, after=0.0):
        for t, text in self.host:
            if t >= after and text.startswith(prefix):
                return t
        return None

    def log_at(self, texts, after):
        if after is None:
            return None
        texts = (texts,) if isinstance(texts, str) else texts
        for t, _, text in self.logs:
            # The log's stamps have milliseconds; the host's are finer and taken a little later.
            if t >= after - 0.002 and any(x in text for x in texts):
                return t
        return None


def span(start, end):
    return None if start is None or end is None else max(0.0, end - start)


def phases(timeline, started, table_line):
    """The phases of one analysis shown in the dialog, from the file written to the dialog ready."""
    written = timeline.host_at("ANALYSIS ", started)
    read = timeline.log_at("Get analysis information successfully", written)
    name = timeline.log_at("Set scene name successfully.", read)
    fill_start = timeline.log_at("Filling the warnings list.", name)
    filled = timeline.log_at("Get warnning infomation", fill_start)
    table = timeline.log_at(table_line, filled)
    ready = timeline.log_at(CAMERA_CHECK_ENDS, table)
    return written, {"read": span(written, read), "scene name": span(read, name), "lines": span(name, fill_start),
                     "list fill": span(fill_start, filled), "camera table": span(filled, table),
                     "dialog ready": span(written, ready)}


def measure(env, host, bench_dir, data_folder, label, analysis_path, win):
    steps = os.path.join(bench_dir, "huge.steps")
    with open(steps, "w") as f:
        f.write(HOST_STEPS)
    rc, host_lines, peak = run_host(env, host, "C:\\Projects\\Huge\\Huge.max", win(analysis_path), win(steps))
    timeline = Timeline(host_lines, log_lines(data_folder))
    result = {"rc": rc, "peak": peak}
    opened = timeline.host_at("STEP 2 menu 1497")
    result["open"] = phases(timeline, opened or 0.0, "Create camera table successfully.")[1]
    again = timeline.host_at("STEP 4 click 1004")
    _, result["again"] = phases(timeline, again or 0.0, "Update camera table successfully.")
    result["again"]["from the click"] = span(again, timeline.log_at(CAMERA_CHECK_ENDS, again))
    ok = timeline.host_at("STEP 7 click 1014")
    table = timeline.log_at("Update camera table successfully.", ok)
    fill_start = timeline.log_at("Filling the warnings list.", table)
    filled = timeline.log_at("Get warnning infomation", fill_start)
    result["camera"] = {"camera table": span(ok, table), "lines": span(table, fill_start),
                        "list fill": span(fill_start, filled), "from the click": span(ok, filled)}
    keys = timeline.host_at("STEP 9 keys")
    result["copy"] = {"all lines": span(keys, timeline.log_at("lines of the warnings list to the clipboard", keys))}
    if rc != 0:
        with open(os.path.join(bench_dir, label + ".host.log"), "w") as f:
            f.writelines("%.3f %s\n" % line for line in host_lines)
    return result


def start_client(env, client, bench_dir, data_folder, win):
    """A fresh data folder and the stand-in desktop client, which writes the settings the dialog
    needs; it is never asked for anything here."""
    shutil.rmtree(data_folder, ignore_errors=True)
    record = os.path.join(bench_dir, "client")
    shutil.rmtree(record, ignore_errors=True)
    os.makedirs(record)
    port = str(random.randint(18400, 18999))
    process = subprocess.Popen(["wine", client, "--port", port, "--once", "--answer", "10001", "--record", win(record),
                                "--user", "artist01"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               stdin=subprocess.DEVNULL, env=env)
    for _ in range(300):
        if os.path.exists(os.path.join(record, "ready")) or process.poll() is not None:
            break
        time.sleep(0.1)
    if not os.path.exists(os.path.join(record, "ready")):
        process.kill()
        sys.exit("the stand-in client did not start")
    return process


def ms(value):
    return "    -   " if value is None else "%8.0f" % (value * 1000)


def main():
    bench_dir, host, parse_bench, client, prefix, data_folder = sys.argv[1:7]
    env = dict(os.environ, WINEPREFIX=prefix)

    def win(path):
        with open(os.path.join(bench_dir, "winepath.txt"), "w+") as f:
            subprocess.run(["winepath", "-w", path], stdout=f, stderr=subprocess.DEVNULL, env=env)
            f.seek(0)
            return f.read().strip()

    scenes = [("10k missing", 10000, 2000, 50000, 0), ("100k missing", 100000, 2000, 50000, 0),
              ("600k missing", 600000, 2000, 50000, 0), ("10k cameras, 50k files", 10000, 10000, 30000, 10000)]
    if len(sys.argv) > 7:
        scenes = [s for s in scenes if s[0] in sys.argv[7:]]
    results = []
    for label, missing, cameras, references, same in scenes:
        path = os.path.join(bench_dir, label.replace(" ", "_").replace(",", "") + ".json")
        size = write_analysis(path, missing, cameras, references, same)
        floor_file = os.path.join(bench_dir, "floor.txt")
        with open(floor_file, "w") as f:
            subprocess.run(["wine", parse_bench, "--parse", win(path)], stdout=f, stderr=subprocess.DEVNULL, env=env)
        with open(floor_file) as f:
            floor = f.read().strip()
        client_process = start_client(env, client, bench_dir, data_folder, win)
        try:
            result = measure(env, host, bench_dir, data_folder, label, path, win)
        finally:
            client_process.kill()
            client_process.wait()
        result.update(label=label, size=size, floor=floor)
        results.append(result)
        os.remove(path)

    print("== Huge scenes (times in ms, from the plug-in's logs; file written = the host's ANALYSIS line)")
    for r in results:
        print("\n-- %s: %.1f MB analysis, host exit %d, host peak working set %.0f MB"
              % (r["label"], r["size"] / 1e6, r["rc"], r["peak"] / 1024.0))
        print("   bare jsoncpp parse of the same file: %s" % r["floor"])
        for what in ("open", "again", "camera", "copy"):
            row = r[what]
            print("   %-7s %s" % (what, "  ".join("%s %s" % (k, ms(v).strip()) for k, v in row.items())))
    open_ready = {r["label"]: r["open"]["dialog ready"] for r in results}
    print("\n== Goals")
    if "600k missing" in open_ready:
        r = next(r for r in results if r["label"] == "600k missing")
        print("   600k: dialog ready %s ms (goal <= 1500); Analyse again %s ms from the click; camera dialog return "
              "%s ms (goals <= 1500)" % (ms(r["open"]["dialog ready"]).strip(), ms(r["again"]["from the click"]).strip(),
                                        ms(r["camera"]["from the click"]).strip()))
        print("   600k: Ctrl+A and Ctrl+C of every warning line %s ms (goal well under 1000)"
              % ms(r["copy"]["all lines"]).strip())
    if "10k cameras, 50k files" in open_ready:
        print("   10k cameras / 50k files: dialog ready %s ms (goal <= 300)"
              % ms(open_ready["10k cameras, 50k files"]).strip())
    small = next((r for r in results if r["label"] == "10k missing"), None)
    large = next((r for r in results if r["label"] == "600k missing"), None)
    if small and large:
        print("   growth 10k -> 600k missing files (60x the lines; linear is <= 60):")
        for what in ("open", "again", "camera"):
            growth = []
            for k, v in large[what].items():
                base = small[what].get(k)
                if v is not None and base:
                    growth.append("%s %.1fx" % (k, v / base))
            print("     %-7s %s" % (what, ", ".join(growth)))


if __name__ == "__main__":
    main()
