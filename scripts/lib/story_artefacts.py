#!/usr/bin/env python3
"""Gathers and checks what one story left behind.

  story_artefacts.py collect OUT      copies the task file and the archive the client was sent
                                      into OUT/ and writes OUT/summary.json
  story_artefacts.py print OUT SECS   prints the summary for a person
  story_artefacts.py expect OUT KEY=VALUE ...
                                      checks the summary; exits 1 naming each mismatch

Keys beyond the summary's own:
  boxes=TEXT/CAPTION/OWNER;...   the message boxes in order: string names of the English table
                                 (a "%s" in the text matches anything; "-" is an empty caption)
                                 and the template of the owning dialog; "none" for no box
  log=CHANNEL:LEVEL:TEXT         a line of that level holding TEXT in the kiv_* log CHANNEL
  scene_changes=none|+NAME|~NAME what the run added (+), changed (~) or removed (-) in the scene's
                                 folder, comma-separated in name order
  data_log=TEXT                  a line of kiv_data holds TEXT
  host_log_lacks=TEXT            no line of host.log holds TEXT
  sevenzip_gone_within=MS        7-Zip ran, and had ended MS milliseconds after 3ds Max was asked
                                 to quit (from OUT/sevenzip-watch.txt)
A level of "*" in log= stands for any level.
"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
STRINGS = os.path.join(HERE, "..", "..", "resources", "lang", "en-US", "strings.rc")


def unix_path(windows_path):
    try:
        return subprocess.run(["winepath", "-u", windows_path], capture_output=True, text=True,
                              check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return ""


def read_json(path):
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def host_lines(out, prefix):
    try:
        with open(os.path.join(out, "host.log"), encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\r\n")[len(prefix):] for line in f if line.startswith(prefix)]
    except OSError:
        return []


def english_strings():
    table = {}
    with open(STRINGS, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'\s*(IDS_\w+)\s+"(.*)"\s*$', line)
            if m:
                table[m.group(1)] = m.group(2).replace('""', '"').replace("\\\\", "\\")
    return table


def boxes_seen(out):
    boxes = []
    for line in host_lines(out, ""):
        if line.startswith("MESSAGEBOX "):
            caption, _, text = line[len("MESSAGEBOX "):].partition(" | ")
            boxes.append({"caption": caption, "text": text, "owner": None})
        elif line.startswith("BOXOWNER ") and boxes:
            boxes[-1]["owner"] = int(line[len("BOXOWNER "):] or 0)
    return boxes


def read_listing(path):
    listing = {}
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                digest, _, name = line.rstrip("\n").partition("  ")
                listing[name[2:] if name.startswith("./") else name] = digest
    except OSError:
        pass
    return listing


def scene_changes(out):
    before = read_listing(os.path.join(out, "scene-before.txt"))
    after = read_listing(os.path.join(out, "scene-after.txt"))
    changes = []
    for name in sorted(set(before) | set(after)):
        if name not in before:
            changes.append("+" + name)
        elif name not in after:
            changes.append("-" + name)
        elif before[name] != after[name]:
            changes.append("~" + name)
    return ",".join(changes) or "none"


def data_log_lines(out):
    lines = []
    for path in sorted(glob.glob(os.path.join(out, "logs", "**", "kiv_data*.log"), recursive=True)):
        with open(path, encoding="utf-8", errors="replace") as f:
            lines += [line.rstrip("\r\n") for line in f]
    return lines


def first_line(data):
    return data.split(b"\n", 1)[0].decode("utf-8", "replace").rstrip("\r")


def sevenzip_watch(out):
    """When the quit was asked and when 7-Zip was last seen running, in ms (see stories.sh)."""
    quit_at, seen = None, []
    try:
        with open(os.path.join(out, "sevenzip-watch.txt"), encoding="utf-8") as f:
            for line in f:
                what, _, ms = line.partition(" ")
                if what == "quit":
                    quit_at = int(ms)
                elif what == "sevenzip":
                    seen.append(int(ms))
    except (OSError, ValueError):
        pass
    return quit_at, seen


def collect(out):
    summary = {"requests": 0, "answer": None, "cameras": [], "task_file": "", "archive": "",
               "archive_bytes": 0, "archive_valid": False, "archive_holds_scene": False,
               "scene_copy": "", "max_version": "", "render_mode": "", "message_boxes": [],
               "failed_steps": host_lines(out, "STEP FAILED "), "scripts": host_lines(out, "SCRIPT ")}
    summary["message_boxes"] = host_lines(out, "MESSAGEBOX ")
    # The modules the host found in installed bundles (none when it was given --plugin).
    summary["plugin_modules"] = [m for m in host_lines(out, "BUNDLE ") if not m.startswith("SKIPPED ")]
    summary["boxes"] = boxes_seen(out)
    summary["scene_changes"] = scene_changes(out)
    summary["analyses"] = host_lines(out, "ANALYSIS ")
    scene_file = os.environ.get("RUD_STORY_SCENE_FILE", "")
    try:
        with open(scene_file, "rb") as f:
            summary["scene_head"] = first_line(f.read(256))
    except OSError:
        summary["scene_head"] = ""
    # What the run left in the per-scene cache folders: archives and task files.
    cache = os.environ.get("RUD_STORY_CACHE", "")
    for key, sub in (("archives_left", "compress"), ("task_files_left", "json")):
        summary[key] = len([p for p in glob.glob(os.path.join(glob.escape(cache), "*", sub, "*"))
                            if os.path.isfile(p)]) if cache else 0
    summary["snapshots_left"] = len(glob.glob(os.path.join(glob.escape(cache), "*", "snapshot-*"))) if cache else 0
    verdict = read_json(os.path.join(out, "client", "verdict-1.json"))
    if verdict:
        summary["requests"] = len([n for n in os.listdir(os.path.join(out, "client"))
                                   if n.startswith("request-")])
        summary["answer"] = verdict.get("answer")
        summary["archive_valid"] = bool(verdict.get("archive_valid"))
        summary["archive_holds_scene"] = bool(verdict.get("archive_holds_scene"))
        # The first line of the scene as the client unpacked it (the archive may be gone since).
        summary["archive_scene_head"] = (verdict.get("archive_scene_head") or "").rstrip("\r")
        summary["task_file_valid"] = bool(verdict.get("task_file_valid"))
        body = verdict.get("body") or {}
        summary["scene_copy"] = body.get("scenePath", "")
        summary["max_version"] = body.get("maxVersion", "")
        task_path = unix_path(body.get("filePath", "")) if body.get("filePath") else ""
        if task_path and os.path.isfile(task_path):
            shutil.copy(task_path, os.path.join(out, "task.json"))
            summary["task_file"] = body.get("filePath", "")
        # The task as the client read it: a task it turned down is no longer on disk.
        task = verdict.get("task") or {}
        summary["cameras"] = [c.get("name", "") for c in (task.get("cameras") or [])]
        summary["render_mode"] = task.get("effect_render_mode", "")
        archive_path = unix_path(body.get("compressPath", "")) if body.get("compressPath") else ""
        if archive_path and os.path.isfile(archive_path):
            shutil.copy(archive_path, os.path.join(out, os.path.basename(archive_path)))
            summary["archive"] = body.get("compressPath", "")
            summary["archive_bytes"] = os.path.getsize(archive_path)
    # The client may only ever be handed a task whose archive and task file are whole, as the
    # client found them (the plug-in removes both when the client turns the task down).
    summary["sent_complete"] = summary["requests"] == 0 or (
        summary["archive_holds_scene"] and summary.get("task_file_valid", False))
    with open(os.path.join(out, "summary.json"), "w", encoding="utf-8") as f:
        json.dump(summary, f, indent=2, ensure_ascii=False)


def describe(out, seconds):
    s = read_json(os.path.join(out, "summary.json")) or {}
    verdicts = {10001: "accepted the task", None: "received no request"}
    answer = s.get("answer")
    print(f"  plug-in      {', '.join(s.get('plugin_modules') or []) or '(not from a bundle)'}")
    print(f"  scene        {s.get('scene_copy') or '(not sent)'}")
    print(f"  cameras sent {', '.join(s.get('cameras') or []) or '(none)'}")
    print(f"  render mode  {s.get('render_mode') or '-'}")
    print(f"  task file    {s.get('task_file') or '(none)'}")
    if s.get("archive"):
        print(f"  archive      {s['archive']} ({s['archive_bytes']:,} bytes, "
              f"{'valid 7z holding the scene' if s.get('archive_holds_scene') else 'NOT a valid archive of the scene'})")
    else:
        print("  archive      (none)")
    print(f"  client       {verdicts.get(answer, f'answered {answer}')}")
    for box in s.get("message_boxes") or []:
        print(f"  message      {box}")
    for step in s.get("failed_steps") or []:
        print(f"  FAILED STEP  {step}")
    print(f"  time taken   {seconds} s")


def box_matches(box, wanted, strings):
    text_id, caption_id, owner = (wanted.split("/") + ["", "", ""])[:3]
    pattern = ".*".join(re.escape(part) for part in strings.get(text_id, "\0").split("%s"))
    caption = "" if caption_id == "-" else strings.get(caption_id, "\0")
    return (re.fullmatch(pattern, box["text"], re.S) is not None and box["caption"] == caption
            and str(box["owner"]) == owner)


def boxes_match(boxes, wanted):
    if wanted == "none":
        return not boxes
    entries = wanted.split(";")
    strings = english_strings()
    return len(entries) == len(boxes) and all(box_matches(b, w, strings) for b, w in zip(boxes, entries))


def log_holds(out, wanted):
    channel, level, text = (wanted.split(":", 2) + ["", ""])[:3]
    for path in glob.glob(os.path.join(out, "logs", "**", channel + "*.log"), recursive=True):
        with open(path, encoding="utf-8", errors="replace") as f:
            if any((level == "*" or f"[{level}] " in line) and text in line for line in f):
                return True
    return False


def expect(out, conditions):
    s = read_json(os.path.join(out, "summary.json")) or {}
    problems = []
    for condition in conditions:
        key, _, wanted = condition.partition("=")
        value = s.get(key)
        if key == "boxes":
            ok = boxes_match(value or [], wanted)
        elif key == "log":
            ok = log_holds(out, wanted)
            value = "no such line"
        elif key == "cameras":
            ok = ",".join(value or []) == wanted
        elif key == "message":
            ok = any(wanted in box for box in s.get("message_boxes") or [])
            value = s.get("message_boxes")
        elif key == "host_has":
            ok = bool(host_lines(out, wanted))
            value = "(no such line in host.log)"
        elif key == "host_log_lacks":
            value = [line for line in host_lines(out, "") if wanted in line]
            ok = not value
        elif key == "sevenzip_gone_within":
            quit_at, seen = sevenzip_watch(out)
            value = {"quit": quit_at, "sevenzip_seen": seen[:1] + seen[-1:]}
            # The progress window may show "0 %" a moment before 7-Zip is up: the question may
            # come first, so 7-Zip need only have run around it.
            ok = quit_at is not None and bool(seen) and max(seen) - quit_at <= int(wanted)
        elif key == "data_log":
            ok = any(wanted in line for line in data_log_lines(out))
            value = "(no such line in kiv_data)"
        elif isinstance(value, bool):
            ok = str(value).lower() == wanted.lower()
        elif isinstance(value, list):
            ok = str(len(value)) == wanted
        else:
            ok = str(value) == wanted
        if not ok:
            problems.append(f"{key}: wanted {wanted!r}, got {value!r}")
    for p in problems:
        print(f"  mismatch in {out}: {p}")
    return 0 if not problems else 1


if __name__ == "__main__":
    command, folder = sys.argv[1], sys.argv[2]
    if command == "collect":
        collect(folder)
    elif command == "print":
        describe(folder, sys.argv[3] if len(sys.argv) > 3 else "?")
    elif command == "expect":
        sys.exit(expect(folder, sys.argv[3:]))
