#!/usr/bin/env python3
"""Gathers and checks what one story left behind.

  story_artefacts.py collect OUT      copies the task file and the archive the client was sent
                                      into OUT/ and writes OUT/summary.json
  story_artefacts.py print OUT SECS   prints the summary for a person
  story_artefacts.py expect OUT KEY=VALUE ...
                                      checks the summary; exits 1 naming each mismatch
                                      (data_log=TEXT: a line of kiv_data holds TEXT)
"""
import glob
import json
import os
import shutil
import subprocess
import sys


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


def cache_archives():
    """Every archive left in the per-scene cache folders of the Wine prefix."""
    user = os.environ.get("USER") or os.popen("id -un").read().strip()
    cache = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c", "users", user, "AppData", "Local",
                         "MIRASTOR Render Farm For Effect", "cache", "plugin_scenes")
    return sorted(glob.glob(os.path.join(cache, "*", "compress", "*.7z")))


def data_log_lines(out):
    lines = []
    for path in sorted(glob.glob(os.path.join(out, "logs", "**", "kiv_data*.log"), recursive=True)):
        with open(path, encoding="utf-8", errors="replace") as f:
            lines += [line.rstrip("\r\n") for line in f]
    return lines


def collect(out):
    summary = {"requests": 0, "answer": None, "cameras": [], "task_file": "", "archive": "",
               "archive_bytes": 0, "archive_valid": False, "archive_holds_scene": False,
               "scene_copy": "", "max_version": "", "render_mode": "", "message_boxes": [],
               "failed_steps": host_lines(out, "STEP FAILED "), "scripts": host_lines(out, "SCRIPT ")}
    summary["message_boxes"] = host_lines(out, "MESSAGEBOX ")
    summary["archives_left"] = len(cache_archives())
    verdict = read_json(os.path.join(out, "client", "verdict-1.json"))
    if verdict:
        summary["requests"] = len([n for n in os.listdir(os.path.join(out, "client"))
                                   if n.startswith("request-")])
        summary["answer"] = verdict.get("answer")
        summary["archive_valid"] = bool(verdict.get("archive_valid"))
        summary["archive_holds_scene"] = bool(verdict.get("archive_holds_scene"))
        body = verdict.get("body") or {}
        summary["scene_copy"] = body.get("scenePath", "")
        summary["max_version"] = body.get("maxVersion", "")
        task_path = unix_path(body.get("filePath", "")) if body.get("filePath") else ""
        if task_path and os.path.isfile(task_path):
            shutil.copy(task_path, os.path.join(out, "task.json"))
            summary["task_file"] = body.get("filePath", "")
            task = read_json(task_path) or {}
            summary["cameras"] = [c.get("name", "") for c in (task.get("cameras") or [])]
            summary["render_mode"] = task.get("effect_render_mode", "")
        archive_path = unix_path(body.get("compressPath", "")) if body.get("compressPath") else ""
        if archive_path and os.path.isfile(archive_path):
            shutil.copy(archive_path, os.path.join(out, os.path.basename(archive_path)))
            summary["archive"] = body.get("compressPath", "")
            summary["archive_bytes"] = os.path.getsize(archive_path)
    with open(os.path.join(out, "summary.json"), "w", encoding="utf-8") as f:
        json.dump(summary, f, indent=2, ensure_ascii=False)


def describe(out, seconds):
    s = read_json(os.path.join(out, "summary.json")) or {}
    verdicts = {10001: "accepted the task", None: "received no request"}
    answer = s.get("answer")
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


def expect(out, conditions):
    s = read_json(os.path.join(out, "summary.json")) or {}
    problems = []
    for condition in conditions:
        key, _, wanted = condition.partition("=")
        value = s.get(key)
        if key == "cameras":
            ok = ",".join(value or []) == wanted
        elif key == "message":
            ok = any(wanted in box for box in s.get("message_boxes") or [])
            value = s.get("message_boxes")
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
