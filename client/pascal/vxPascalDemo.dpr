{ A Delphi or Free Pascal program that sends its debug output to vxDebugger
  through the vxClient unit.

    vxPascalDemo            a short tour of everything the unit sends
    vxPascalDemo STEP       one step of it, as the tests drive it:
      kinds       a row of every kind 14 to 32, with source position and data
      buffer, text, stream
                  one row with data from a buffer, a string or a stream
      marks       a note, a separator, billboard lines, info-pad lines, a level
      clear-billboard, clear-debug, show
                  the two clears and showing the viewer
      threads     four threads sending 250 rows each
      later       runs before the viewer: sends a row every 100 ms until a
                  viewer has come, gone and come again
      quiet       10000 rows with no viewer; prints how long they took

  With --tcp HOST:PORT [--key KEY] before the step it sends over TCP to a
  viewer listening there.

  Each step connects as 'Pascal example' with the caption 'Example' (the tour
  as 'Pascal tour'), waits up to ten seconds for the viewer, and disconnects
  when it ends. It prints what it did and exits with 0, or 1 when no viewer
  was found. }
program vxPascalDemo;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

uses
  Windows, Classes, vxClient;

const
  ExampleID = 'Pascal example';

function Num(N: Integer): string;
begin
  Str(N, Result);
end;

procedure Kinds;
var
  Kind: Integer;
begin
  for Kind := dkString to dkUnknown do
    vxDebugData(Kind, TvxGroup(Kind mod 4), 'Row ' + Num(Kind), 'uKind' + Num(Kind),
      'TKind.Send' + Num(Kind), Kind, 'data of ' + Num(Kind));
end;

procedure Buffer;
var
  Bytes: array[0..12] of AnsiChar;
begin
  Move(PAnsiChar('from a buffer')^, Bytes, SizeOf(Bytes));
  vxDebugData(dkMemoryDump, vgInformation, 'Buffer', 'uData', 'TData.Buffer', 1,
    @Bytes, SizeOf(Bytes));
end;

procedure Stream;
var
  S: TMemoryStream;
  A: AnsiString;
begin
  S := TMemoryStream.Create;
  try
    A := 'line 1'#13#10'line 2';
    S.WriteBuffer(PAnsiChar(A)^, Length(A));
    { Read from its start; the position stays where the program left it. }
    vxDebugData(dkStringlist, vgWarning, 'Stream', 'uData', 'TData.Stream', 3, S);
    if S.Position <> Length(A) then
      WriteLn('the stream position moved');
  finally
    S.Free;
  end;
end;

procedure Marks;
begin
  vxNote('a note');
  vxSeparator;
  vxDebugAt(dkProcEnter, vgGeneral, 'Entering', 'uMarks', 'TMarks.Run', 7);
  vxBillboard('first line');
  vxBillboard('second line');
  vxInfoLine(1, 'Records', '42');
  vxInfoLine(2, 'State', 'running');
  vxSetLevel(vlHigh);
end;

type
  TWorker = class(TThread)
  private
    FNumber: Integer;
  protected
    procedure Execute; override;
  public
    constructor Create(Number: Integer);
  end;

constructor TWorker.Create(Number: Integer);
begin
  FNumber := Number;
  inherited Create(False);
end;

procedure TWorker.Execute;
var
  I: Integer;
begin
  for I := 1 to 250 do
    vxDebug('T' + Num(FNumber) + ' ' + Num(I), TvxGroup(FNumber mod 4));
end;

procedure Threads;
var
  W: array[1..4] of TWorker;
  I: Integer;
  Start: DWORD;
begin
  Start := GetTickCount;
  for I := 1 to 4 do
    W[I] := TWorker.Create(I);
  for I := 1 to 4 do
  begin
    W[I].WaitFor;
    W[I].Free;
  end;
  WriteLn('1000 rows from 4 threads in ', GetTickCount - Start, ' ms');
end;

{ Sends a row every 100 ms until a viewer has come, gone and come again. }
function Later: Boolean;
var
  Phase, Tick: Integer;
  Present: Boolean;
begin
  Phase := 0;  { 0 none yet, 1 the first viewer, 2 it went, 3 a new one }
  Tick := 0;
  vxConnect('Later', vlLow, ExampleID);
  while (Phase < 3) and (Tick < 1200) do
  begin
    Inc(Tick);
    Present := vxViewerPresent;
    if Present and (Phase in [0, 2]) then
    begin
      Inc(Phase);
      WriteLn('viewer found');
    end
    else if not Present and (Phase = 1) then
    begin
      Inc(Phase);
      WriteLn('viewer gone');
    end;
    vxDebug('tick ' + Num(Tick) + ' phase ' + Num(Phase));
    Sleep(100);
  end;
  vxDebug('back again');
  Result := Phase = 3;
end;

procedure Quiet;
var
  I: Integer;
  Start: DWORD;
begin
  Start := GetTickCount;
  vxDebug('nobody listens');  { the first call asks for a viewer }
  WriteLn('first call without viewer: ', GetTickCount - Start, ' ms');
  Start := GetTickCount;
  for I := 1 to 10000 do
    vxDebug('nobody listens');
  WriteLn('calls without viewer: 10000 in ', GetTickCount - Start, ' ms');
end;

procedure Tour;
begin
  vxConnect('Pascal tour', vlMedium);
  vxDebug('Hello from Pascal', vgInformation);
  vxDebugAt(dkProcEnter, vgGeneral, 'Tour', 'vxPascalDemo', 'Tour', 180);
  Kinds;
  Buffer;
  Stream;
  Marks;
  Threads;
  vxDebugAt(dkProcExit, vgGeneral, 'Tour', 'vxPascalDemo', 'Tour', 190);
  vxShowViewer;
end;

{ Takes --tcp HOST:PORT [--key KEY]; returns the index of the step. }
function UseTcpFromArgs: Integer;
var
  Where, Key: string;
  Colon, Port, Code: Integer;
begin
  Result := 1;
  if ParamStr(1) <> '--tcp' then
    Exit;
  Where := ParamStr(2);
  Result := 3;
  Key := '';
  if ParamStr(3) = '--key' then
  begin
    Key := ParamStr(4);
    Result := 5;
  end;
  Colon := Length(Where);
  while (Colon > 0) and (Where[Colon] <> ':') do
    Dec(Colon);
  Val(Copy(Where, Colon + 1, Length(Where)), Port, Code);
  if (Colon <= 1) or (Code <> 0) or (Port <= 0) or (Port > 65535) then
  begin
    WriteLn('--tcp needs HOST:PORT');
    Halt(2);
  end;
  vxUseTcp(Copy(Where, 1, Colon - 1), Port, Key);
end;

var
  Step: string;
  Ok: Boolean;
begin
  Step := ParamStr(UseTcpFromArgs);
  Ok := True;
  if Step = 'later' then
    Ok := Later
  else if Step = 'quiet' then
    Quiet
  else if not vxWaitForViewer(10000) then
  begin
    WriteLn('no viewer');
    Ok := False;
  end
  else if Step = '' then
    Tour
  else
  begin
    vxConnect('Example', vlMedium, ExampleID);
    if Step = 'kinds' then
      Kinds
    else if Step = 'buffer' then
      Buffer
    else if Step = 'text' then
      vxDebugData(dkString, vgGeneral, 'Text', 'uData', 'TData.Text', 2, 'from a string')
    else if Step = 'stream' then
      Stream
    else if Step = 'marks' then
      Marks
    else if Step = 'clear-billboard' then
      vxClearBillboard
    else if Step = 'clear-debug' then
      vxClearDebug
    else if Step = 'show' then
      vxShowViewer
    else if Step = 'threads' then
      Threads
    else
    begin
      WriteLn('unknown step ', Step);
      Ok := False;
    end;
  end;
  if Ok then
    WriteLn('done ', Step)
  else
    ExitCode := 1;
end.
