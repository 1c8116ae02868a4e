"""Builds hyph._hyph with CMake, from the hyph tree that this folder is in.

Offline, with Debian's packages (see the README's Python section):
    python3 -m pip install --no-build-isolation ./python
"""
import os
import pathlib
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent.parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        out = pathlib.Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(
            ["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=Release", "-DHYPH_BUILD_PYTHON=ON",
             "-DHYPH_BUILD_TESTS=OFF", "-DHYPH_BUILD_CLI=OFF", "-DHYPH_BUILD_EXAMPLES=OFF",
             "-DHYPH_INSTALL=OFF", f"-DPython_EXECUTABLE={sys.executable}",
             f"-DHYPH_PYTHON_OUTPUT_DIR={out}"],
            check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL")
        subprocess.run(["cmake", "--build", str(build), "--target", "hyph_python"]
                       + (["--parallel", jobs] if jobs else []), check=True)


setup(ext_modules=[Extension("hyph._hyph", sources=[])], cmdclass={"build_ext": CMakeBuild})
