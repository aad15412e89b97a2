// Validates glTF files with the Khronos glTF validator (npm package gltf-validator), found
// through NODE_PATH. Prints each file's counts of errors and warnings and every message; exits
// 1 when any file has an error or cannot be read, 2 on a wrong command line.
//   NODE_PATH=<node_modules> node validateGltf.cjs FILE.gltf...
"use strict";
const fs = require("fs");
const path = require("path");

let validator;
try {
    validator = require("gltf-validator");
} catch (error) {
    console.error("validateGltf: cannot load gltf-validator: " + error.message);
    process.exit(1);
}

const severities = ["error", "warning", "info", "hint"];

async function validate(file) {
    const bytes = new Uint8Array(fs.readFileSync(file));
    const report = await validator.validateBytes(bytes, {
        uri: path.basename(file),
        maxIssues: 0,
        // The files reference nothing outside themselves.
        externalResourceFunction: (uri) => Promise.reject(new Error("no external file " + uri)),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints ` +
                `(gltf-validator ${report.validatorVersion})`);
    for (const message of issues.messages)
        console.log(`  ${severities[message.severity]} ${message.code} at ${message.pointer}: ` +
                    message.message);
    return issues.numErrors === 0;
}

async function main() {
    const files = process.argv.slice(2);
    if (files.length === 0) {
        console.error("usage: validateGltf.cjs FILE.gltf...");
        return 2;
    }
    let ok = true;
    for (const file of files) {
        try {
            ok = (await validate(file)) && ok;
        } catch (error) {
            console.log(`${file}: cannot validate: ${error.message || error}`);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

main().then((status) => process.exit(status));
